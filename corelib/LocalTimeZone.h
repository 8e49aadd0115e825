#pragma once

namespace tessera {

// Names the system's time zone file in TZ when TZ is not set at all. Without TZ, glibc looks at
// /etc/localtime again at every conversion to local time, which made every date text of a
// list (sorting, finding, exports) about seven times slower; with TZ naming the file it reads
// it once. A change of the system's zone is then seen at the next start. Call it first in
// main, before any thread exists: it changes the environment.
void PinLocalTimeZone();

} // namespace tessera
