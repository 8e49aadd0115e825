#pragma once

// The C interface of the pattern engine modules that CJre loads at run time: "hmjre.so"
// (regular expressions and fuzzy matching) and "jre32.so" (regular expressions only).
//
// Texts are UTF-16 code units with an explicit length; they may hold NUL characters and lone
// surrogates. Every call comes from one thread. A module keeps one message of the last
// failure (GetJreMessage), written by whichever call failed last.
//
// Required entry points: JreGetVersion, Jre2Open, Jre2Compile, Jre2GetMatchInfo, Jre2Close,
// GetJreMessage. The fuzzy set (all ten or none): Fuzzy_Open, Fuzzy_Close,
// Fuzzy_ConvertTarget, Fuzzy_ConvertFindString, Fuzzy_FindPos2RealPos,
// Fuzzy_FindArea2RealArea, Fuzzy_RealPos2FindPos, Fuzzy_OptionDialog, FindRegular,
// FindRegularNoCaseSense.

// A C header: the C forms (typedef, (void), <stdint.h>) are meant.
// NOLINTBEGIN(modernize-use-using,modernize-redundant-void-arg,modernize-deprecated-headers)
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef __cplusplus
typedef char16_t JreChar;
#else
typedef uint16_t JreChar;
#endif

// The compile structure: the caller zeroes it and sets `size` before Jre2Open; the module
// owns what `engine` points at until Jre2Close.
typedef struct JRE2 {
    uint32_t size; // sizeof(JRE2)
    void *engine;
    int32_t matchStart; // of the last match found by Jre2GetMatchInfo
    int32_t matchLength;
    int32_t errorOffset; // where the last refused pattern went wrong, -1 for none
    uint32_t options; // JRE_OPTION_* bits, read by Jre2Compile
} JRE2;

// Option bits of JRE2::options. JRE_OPTION_IGNORE_CASE: the pattern is compiled as written
// and matched without regard to case (the engine's own caseless matching, so escapes such as
// \d and \w keep their meaning).
enum { JRE_OPTION_IGNORE_CASE = 1 };

// Option bits of JREFUZZYDATA::options.
enum { JRE_FUZZY_IGNORE_CASE = 1 };

// What the fuzzy conversions fold (JREFUZZYDATA::fold, Fuzzy_Open's second argument):
// full-width and half-width forms, hiragana and katakana, and upper and lower case (only
// while JRE_FUZZY_IGNORE_CASE is set).
enum { JRE_FOLD_WIDTH = 1, JRE_FOLD_KANA = 2, JRE_FOLD_CASE = 4, JRE_FOLD_ALL = 7 };

// The fuzzy structure: zeroed with `size` set before Fuzzy_Open.
typedef struct JREFUZZYDATA {
    uint32_t size; // sizeof(JREFUZZYDATA)
    uint32_t options; // JRE_FUZZY_IGNORE_CASE
    uint32_t fold; // JRE_FOLD_* bits, set by Fuzzy_Open
    int32_t matchStart; // in the converted target, of the last FindRegular* match
    int32_t matchLength;
    void *engine;
} JREFUZZYDATA;

// Results of the match calls.
enum { JRE_NO_MATCH = 0, JRE_MATCH = 1, JRE_LIMIT = -1 };
// Fuzzy conversion modes: 1 the find string is a regular expression whose literal
// characters are folded; 2 it is a plain string, folded as a whole.
enum { JRE_CONVERT_REGULAR = 1, JRE_CONVERT_PLAIN = 2 };
// FindRegular*: no match, and a search stopped by the engine's limits (no match as well).
enum { JRE_FIND_NONE = -1, JRE_FIND_LIMIT = -2 };

// The host's options dialog for Fuzzy_OptionDialog: shows `*fold`, writes the choice back
// and returns 1 when the user confirmed, 0 when cancelled.
typedef int (*JreOptionAsk)(void *context, uint32_t *fold);

// Major version in the high byte, minor in the low one.
typedef uint16_t (*JreGetVersionFn)(void);
// 1 when the structure is usable (size as expected) and the engine is ready.
typedef int (*Jre2OpenFn)(JRE2 *jre);
// Compiles `pattern` under jre->options: 1 on success; 0 when refused, with the message and
// errorOffset set.
typedef int (*Jre2CompileFn)(JRE2 *jre, const JreChar *pattern, int32_t length);
// Searches the compiled pattern in `text` from `start`: JRE_MATCH (matchStart and
// matchLength set), JRE_NO_MATCH, or JRE_LIMIT when the match or depth limit stopped it.
typedef int (*Jre2GetMatchInfoFn)(JRE2 *jre, const JreChar *text, int32_t length, int32_t start);
typedef int (*Jre2CloseFn)(JRE2 *jre);
// Copies the last message into `buffer` (up to `capacity` units, no terminator) and returns
// its full length; 0 when there is none.
typedef int32_t (*GetJreMessageFn)(JreChar *buffer, int32_t capacity);

// Opens the fuzzy engine with the given JRE_FOLD_* bits: 1 on success.
typedef int (*Fuzzy_OpenFn)(JREFUZZYDATA *data, uint32_t fold);
typedef int (*Fuzzy_CloseFn)(JREFUZZYDATA *data);
// Folds a text to search in and keeps it with the map back to its positions: 1 on success.
typedef int (*Fuzzy_ConvertTargetFn)(JREFUZZYDATA *data, const JreChar *text, int32_t length);
// Folds the find string in the given mode (and compiles it in mode 1): 1 on success, 0
// when refused (message set).
typedef int (*Fuzzy_ConvertFindStringFn)(
    JREFUZZYDATA *data, const JreChar *pattern, int32_t length, int32_t mode);
// Position maps between the converted target and the text it came from; -1 out of range.
typedef int32_t (*Fuzzy_FindPos2RealPosFn)(JREFUZZYDATA *data, int32_t pos);
typedef int (*Fuzzy_FindArea2RealAreaFn)(
    JREFUZZYDATA *data, int32_t pos, int32_t length, int32_t *realPos, int32_t *realLength);
typedef int32_t (*Fuzzy_RealPos2FindPosFn)(JREFUZZYDATA *data, int32_t realPos);
// Lets the host ask the user for the fold options: 1 when they were changed (the caller
// closes and opens the engine again with the new `data->fold`), 0 otherwise.
typedef int (*Fuzzy_OptionDialogFn)(JREFUZZYDATA *data, JreOptionAsk ask, void *context);
// Searches the converted find string in the converted target from `start`: the position of
// the match, JRE_FIND_NONE, or JRE_FIND_LIMIT. The NoCaseSense form also ignores case
// where the conversions kept it.
typedef int32_t (*FindRegularFn)(JREFUZZYDATA *data, int32_t start);

#ifdef __cplusplus
}
#endif
// NOLINTEND(modernize-use-using,modernize-redundant-void-arg,modernize-deprecated-headers)
