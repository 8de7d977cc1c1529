#include "book/TestLayer1.h"

#include "book/TestLayer2.h"

namespace book {

TestLayer1::TestLayer1() : PageLayer(1) {
    buildPage();
}

PageLayer* TestLayer1::createTwin() const {
    return new TestLayer2();
}

} // namespace book
