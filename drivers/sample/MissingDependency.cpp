// Linked only into the unloadable driver: the import of a function from a library that exists
// nowhere, so the loader refuses the driver before any of its code runs.
extern "C" int VbMissingFunction(void);

namespace {
// A static initializer keeps the reference, and so the import, in the linked library.
const int kNeverReached = VbMissingFunction();
}  // namespace
