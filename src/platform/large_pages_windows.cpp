#include "platform/large_pages.h"

namespace platform {

// Windows gives large pages only to programs holding the lock-pages
// privilege, which an office user's account does not have.
void AdviseLargePages(void*, size_t) {}

}  // namespace platform
