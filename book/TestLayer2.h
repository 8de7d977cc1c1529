#pragma once
// The page layer of even turns; its twin is TestLayer1.
#include "book/PageLayer.h"

namespace book {

class TestLayer2 : public PageLayer {
public:
    // Builds the page currentPage; the caller holds the one reference.
    TestLayer2();

protected:
    PageLayer* createTwin() const override;
};

} // namespace book
