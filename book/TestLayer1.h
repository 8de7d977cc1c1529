#pragma once
// The page layer of odd turns; its twin is TestLayer2.
#include "book/PageLayer.h"

namespace book {

class TestLayer1 : public PageLayer {
public:
    // Builds the page currentPage; the caller holds the one reference.
    TestLayer1();

protected:
    PageLayer* createTwin() const override;
};

} // namespace book
