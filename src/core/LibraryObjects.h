#pragma once

namespace ocable {

// Counts the objects of this library that are alive, so the host can tell
// when the library may be unloaded. Objects handed to the host hold a token.
class LibraryObjectToken {
public:
    LibraryObjectToken();
    LibraryObjectToken(const LibraryObjectToken&);
    LibraryObjectToken& operator=(const LibraryObjectToken&) = default;
    ~LibraryObjectToken();
};

int liveLibraryObjects();

} // namespace ocable
