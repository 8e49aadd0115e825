#pragma once

#include "document/RecordMap.h"

// `count` full records with texts shaped like the site's: grouped prices with decimals,
// signed changes and rates, Japanese names, grouped volumes; codes of four digits, with a
// ".T" suffix, alphanumeric and index-like; a third with holdings. The same seed every
// time, so that benchmarks of different runs see the same list.
RecordMap MakeSiteShapedRows(int count);
