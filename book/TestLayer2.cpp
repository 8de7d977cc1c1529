#include "book/TestLayer2.h"

#include "book/TestLayer1.h"

namespace book {

TestLayer2::TestLayer2() : PageLayer(2) {
    buildPage();
}

PageLayer* TestLayer2::createTwin() const {
    return new TestLayer1();
}

} // namespace book
