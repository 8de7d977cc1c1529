#include "engine/base/CCAffineTransform.h"
#include "engine/base/CCArray.h"
#include "engine/base/CCAutoreleasePool.h"
#include "engine/base/CCDictionary.h"
#include "engine/base/CCInteger.h"
#include "engine/base/CCSet.h"
#include "engine/base/CCString.h"
#include "engine/base/ccTypes.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace engine;

namespace {

// Counts its own destruction so tests can see exactly when an object dies.
struct Probe : CCObject {
    explicit Probe(int* deaths) : deaths(deaths) {}
    ~Probe() override { ++*deaths; }
    int* deaths;
};

} // namespace

TEST(CCObjectTest, AutoreleasedObjectDiesAtDrainUnlessRetained) {
    int deaths = 0;
    auto* kept = new Probe(&deaths);
    kept->autorelease();
    kept->retain();
    (new Probe(&deaths))->autorelease();
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(kept->retainCount(), 1u);
    kept->release();
    EXPECT_EQ(deaths, 2);
}

TEST(CCObjectTest, SmartPointerHoldsAndReleases) {
    int deaths = 0;
    long before = CCObject::liveObjectCount();
    {
        CCRef<Probe> ref(new Probe(&deaths));
        ref->release(); // the creating reference
        CCRef<Probe> copy = ref;
        EXPECT_EQ(copy->retainCount(), 2u);
        ref.reset();
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(CCObject::liveObjectCount(), before);
}

TEST(CCObjectTest, SmartPointerTakesTheNewObjectBeforeLettingGoOfTheOld) {
    int deaths = 0;
    CCRef<Probe> ref(new Probe(&deaths));
    ref->release(); // the ref now holds the only reference
    ref = ref.get();
    EXPECT_EQ(deaths, 0);
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->retainCount(), 1u);
    ref = new Probe(&deaths); // the creating reference stays with this test
    EXPECT_EQ(deaths, 1);
    ref->release();
    ref = nullptr;
    EXPECT_EQ(deaths, 2);
}

TEST(CCObjectTest, CreationHelpersReleaseAFailedObjectAtOnceAndAutoreleaseTheOthers) {
    int deaths = 0;
    EXPECT_EQ(autoreleasedIf(false, new Probe(&deaths)), nullptr);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(autoreleasedIf(true, static_cast<Probe*>(nullptr)), nullptr);
    Probe* initialised = autoreleasedIf(true, new Probe(&deaths));
    Probe* plain = autoreleased(new Probe(&deaths));
    ASSERT_NE(initialised, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(autoreleasedIf(new Probe(&deaths), [](Probe*) { return false; }), nullptr);
    EXPECT_EQ(deaths, 2);
    Probe* ran = nullptr;
    EXPECT_NE(autoreleasedIf(new Probe(&deaths), [&ran](Probe* p) { return (ran = p) != nullptr; }), nullptr);
    EXPECT_NE(ran, nullptr);
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(deaths, 5);
}

TEST(CCStringTest, DecimalRule) {
    EXPECT_EQ(ccDecimalToInt("12abc"), 12);
    EXPECT_EQ(ccDecimalToInt("abc"), 0);
    EXPECT_EQ(ccDecimalToInt("  -7"), -7);
    EXPECT_EQ(ccDecimalToInt("+42"), 42);
    EXPECT_EQ(ccDecimalToInt(""), 0);
    EXPECT_EQ(ccDecimalToInt("- 3"), 0);
    EXPECT_EQ(ccDecimalToInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(ccDecimalToInt("-99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(ccDecimalToInt(nullptr), 0);
    CCString* s = CCString::create("150");
    EXPECT_EQ(s->intValue(), 150);
    EXPECT_EQ(s->length(), 3u);
    EXPECT_STREQ(CCString::createWithFormat("bn%d%d", 3, 12)->getCString(), "bn312");
    CCAutoreleasePool::sharedPool()->drain();
}

TEST(CCArrayTest, RetainsMembersAndIgnoresBadIndices) {
    int deaths = 0;
    CCArray* array = CCArray::create();
    array->retain();
    auto* a = new Probe(&deaths);
    auto* b = new Probe(&deaths);
    array->addObject(a);
    array->insertObject(b, 0);
    a->release();
    b->release();
    EXPECT_EQ(array->objectAtIndex(0), b);
    EXPECT_EQ(array->objectAtIndex(7), nullptr);
    array->removeObjectAtIndex(99);
    array->removeObject(b);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(array->indexOfObject(a), 0u);
    array->release();
    CCAutoreleasePool::sharedPool()->drain();
    EXPECT_EQ(deaths, 2);
}

TEST(CCDictionaryTest, ExactKeysReplaceAndRemove) {
    CCDictionary* dict = CCDictionary::create();
    dict->setObject(CCString::create("one"), "Key");
    dict->setObject(CCInteger::create(2), "key");
    EXPECT_STREQ(dict->valueForKey("Key"), "one");
    EXPECT_EQ(dynamic_cast<CCInteger*>(dict->objectForKey("key"))->getValue(), 2);
    EXPECT_EQ(dict->objectForKey("KEY"), nullptr);
    EXPECT_STREQ(dict->valueForKey("key"), ""); // not a string
    dict->setObject(CCString::create("uno"), "Key");
    EXPECT_EQ(dict->count(), 2u);
    EXPECT_STREQ(dict->valueForKey("Key"), "uno");
    dict->removeObjectForKey("Key");
    EXPECT_EQ(dict->objectForKey("Key"), nullptr);
    EXPECT_NE(dict->objectForKey("key"), nullptr);
    CCAutoreleasePool::sharedPool()->drain();
}

TEST(CCSetTest, NoDuplicates) {
    CCSet* set = CCSet::create();
    CCString* s = CCString::create("x");
    set->addObject(s);
    set->addObject(s);
    EXPECT_EQ(set->count(), 1);
    set->removeObject(s);
    EXPECT_EQ(set->anyObject(), nullptr);
    CCAutoreleasePool::sharedPool()->drain();
}

TEST(GeometryTest, RectsAndTransforms) {
    CCRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.containsPoint(ccp(10, 20)));
    EXPECT_TRUE(r.containsPoint(ccp(40, 60)));
    EXPECT_FALSE(r.containsPoint(ccp(40.01f, 60)));
    EXPECT_EQ(r.intersection(CCRect(30, 50, 100, 100)), CCRect(30, 50, 10, 10));
    EXPECT_EQ(r.intersection(CCRect(100, 100, 1, 1)), CCRectZero);

    CCAffineTransform t = CCAffineTransformRotate(CCAffineTransformTranslate(CCAffineTransformIdentity, 5, 7),
                                                  static_cast<float>(M_PI / 2));
    CCPoint p = CCPointApplyAffineTransform(ccp(1, 0), t);
    EXPECT_NEAR(p.x, 5, 1e-5);
    EXPECT_NEAR(p.y, 8, 1e-5);
    CCPoint back = CCPointApplyAffineTransform(p, CCAffineTransformInvert(t));
    EXPECT_NEAR(back.x, 1, 1e-5);
    EXPECT_NEAR(back.y, 0, 1e-5);
    // A singular transform has no inverse: no point maps into any rectangle.
    CCAffineTransform flat = CCAffineTransformInvert(CCAffineTransformScale(CCAffineTransformIdentity, 0, 1));
    EXPECT_FALSE(
        CCRect(-1e9f, -1e9f, 2e9f, 2e9f).containsPoint(CCPointApplyAffineTransform(ccp(0, 0), flat)));
    CCRect box = CCRectApplyAffineTransform(CCRect(0, 0, 2, 1), CCAffineTransformRotate(CCAffineTransformIdentity,
                                                                                         static_cast<float>(M_PI / 2)));
    EXPECT_NEAR(box.size.width, 1, 1e-5);
    EXPECT_NEAR(box.size.height, 2, 1e-5);
}

TEST(ColorTest, Conversions) {
    EXPECT_EQ(ccc4BFromccc4F(ccc4FFromccc4B(ccc4(1, 128, 254, 255))), ccc4(1, 128, 254, 255));
    EXPECT_EQ(ccc4BFromccc4F(ccc4f(-1, 2, 0.5f, 1)), ccc4(0, 255, 128, 255));
}

TEST(CCLogTest, OneLinePerCallAndListenersHearIt) {
    testsupport::LogCapture log;
    CCLog("value %d of %s\n", 3, "x");
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], "value 3 of x");
    CCLog("a file name with\na newline");
    EXPECT_EQ(log.lines()[1], "a file name with a newline");
}
