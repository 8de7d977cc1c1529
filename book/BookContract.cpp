#include "book/BookContract.h"

namespace book {

std::string configurationFile(const std::string& bookDir) {
    return bookDir + "/StringConfig.xml";
}

std::string wordTextsFile(const std::string& bookDir) {
    return bookDir + "/Stringstr.xml";
}

std::string bubbleText(const std::string& word) {
    return "-" + word + "-";
}

std::string readAlongFile(const std::string& bookDir) {
    return bookDir + "/StringReadAlong.xml";
}

std::vector<std::string> pageControlImages(bool ispep) {
    std::vector<std::string> images = {controlImage::kPrevious, controlImage::kPreviousPressed,
                                       controlImage::kNext,     controlImage::kNextPressed,
                                       controlImage::kPlay,     controlImage::kPause,
                                       controlImage::kBubble};
    if (ispep) {
        images.push_back(controlImage::kHotspot);
        images.push_back(controlImage::kHotspotPressed);
    }
    return images;
}

} // namespace book
