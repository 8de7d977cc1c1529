#pragma once
// Walks the MPEG audio frames of an MP3 file's bytes, header by header, to
// tell a file cut short: the decoder decodes what is there and reports a
// length, so a narration that lost its end still "decodes".
#include <cstddef>
#include <string>

namespace checker {

struct Mp3Frames {
    std::size_t frames = 0;       // whole frames found
    std::size_t missingBytes = 0; // of the last frame, past the end of the file; 0 when whole
};

// Skips an ID3v2 tag, then follows frame headers until the data ends, stops
// being frames (an ID3v1 or APE tag, other bytes) or a frame runs past the
// end. Free-format frames (no bitrate in the header) end the walk.
Mp3Frames walkMp3Frames(const std::string& bytes);

} // namespace checker
