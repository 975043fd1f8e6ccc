#include "core/LibraryObjects.h"

#include <atomic>

namespace ocable {

namespace {
std::atomic<int> liveObjects{0};
}

LibraryObjectToken::LibraryObjectToken() {
    ++liveObjects;
}
LibraryObjectToken::LibraryObjectToken(const LibraryObjectToken&) {
    ++liveObjects;
}
LibraryObjectToken::~LibraryObjectToken() {
    --liveObjects;
}

int liveLibraryObjects() {
    return liveObjects.load();
}

} // namespace ocable
