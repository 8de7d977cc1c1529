#include "app/AutomationScript.h"
#include "app/CommandLine.h"
#include "app/LogFile.h"
#include "support/SwappedFifo.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>

using namespace app;

TEST(CommandLineTest, NoArgumentsIsTheReadersRun) {
    auto result = parseCommandLine({});
    ASSERT_TRUE(result.options);
    EXPECT_FALSE(result.options->headless);
    EXPECT_EQ(result.options->frameLimit, 0u);
    EXPECT_TRUE(result.options->resourceRoot.empty());
}

TEST(CommandLineTest, EveryFlag) {
    auto result = parseCommandLine(
        {"--resources", "/tmp/book", "--headless", "--script", "s.txt", "--frames", "12", "--log", "l.txt"});
    ASSERT_TRUE(result.options) << result.error;
    EXPECT_EQ(result.options->resourceRoot, "/tmp/book");
    EXPECT_TRUE(result.options->headless);
    EXPECT_EQ(result.options->scriptFile, "s.txt");
    EXPECT_EQ(result.options->frameLimit, 12u);
    EXPECT_EQ(result.options->logFile, "l.txt");
}

TEST(CommandLineTest, ABookIsNamedOnceByFlagOrAsThePlainArgument) {
    auto plain = parseCommandLine({"--headless", "pip.lirra"});
    ASSERT_TRUE(plain.options) << plain.error;
    EXPECT_EQ(plain.options->resourceRoot, "pip.lirra");
    EXPECT_TRUE(plain.options->headless);
    EXPECT_FALSE(parseCommandLine({"a.lirra", "b.lirra"}).options);
    EXPECT_NE(parseCommandLine({"--resources", "a", "b"}).error.find("named twice"), std::string::npos);
    EXPECT_NE(parseCommandLine({"b", "--resources", "a"}).error.find("named twice"), std::string::npos);
}

TEST(CommandLineTest, TheRendererIsOneThatSdlKnows) {
    EXPECT_TRUE(parseCommandLine({}).options->renderer.empty());
    for (const char* name : {"software", "opengl", "opengles2"}) {
        auto result = parseCommandLine({"--renderer", name});
        ASSERT_TRUE(result.options) << name;
        EXPECT_EQ(result.options->renderer, name);
    }
    EXPECT_NE(parseCommandLine({"--renderer", "vulkan"}).error.find("software, opengl"), std::string::npos);
    EXPECT_FALSE(parseCommandLine({"--renderer"}).options);
}

TEST(CommandLineTest, WrongFlagsAreNamed) {
    EXPECT_NE(parseCommandLine({"--fast"}).error.find("'--fast'"), std::string::npos);
    EXPECT_FALSE(parseCommandLine({"--frames"}).options);
    EXPECT_FALSE(parseCommandLine({"--frames", "0"}).options);
    EXPECT_FALSE(parseCommandLine({"--frames", "-3"}).options);
    EXPECT_NE(parseCommandLine({"--frames", "99999999999"}).error.find("from 1 to 4294967295"),
              std::string::npos);
    EXPECT_FALSE(parseCommandLine({"--script"}).options);
    EXPECT_TRUE(parseCommandLine({"--help"}).options->showHelp);
}

TEST(AutomationScriptTest, ParsesEveryEventInTimeOrder) {
    auto result = parseScript("# a comment\n"
                              "at 1.5 up 10 20\n"
                              "\n"
                              "at 0.5 down 320 480.5\n"
                              "at 1 move 1 2\n"
                              "at 2 key Return\n"
                              "at 2 text héllo wörld\n"
                              "at 3 shot out/frame.png\n"
                              "at 4 quit\n",
                              "s.txt");
    ASSERT_TRUE(result.events) << result.error;
    const auto& events = *result.events;
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[0].kind, ScriptEvent::Kind::Down);
    EXPECT_FLOAT_EQ(events[0].y, 480.5f);
    EXPECT_EQ(events[1].kind, ScriptEvent::Kind::Move);
    EXPECT_EQ(events[2].kind, ScriptEvent::Kind::Up);
    EXPECT_EQ(events[2].line, 2);
    EXPECT_EQ(events[4].text, "héllo wörld");
    EXPECT_EQ(events[5].text, "out/frame.png");
    EXPECT_EQ(events[6].kind, ScriptEvent::Kind::Quit);
}

TEST(AutomationScriptTest, MalformedLinesAreNamedWithTheirNumber) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"at 1 down 5\n", "s.txt:1: 'down' takes two numbers"},
        {"\nat x down 5 5\n", "s.txt:2: 'x' is not a time"},
        {"at -1 quit\n", "not a time"},
        {"down 5 5\n", "starts with 'at SECONDS'"},
        {"at 1 jump\n", "unknown event 'jump'"},
        {"at 1 shot\n", "'shot' needs a value"},
        {"at 1 down 1 2 3\n", "two numbers"},
        {"at 1 quit now\n", "'quit' takes nothing"},
        {"at nan quit\n", "not a time"},
        {"at 1\n", "an event is missing"},
        {"at 1 down 1e39 5\n", "two numbers"}, // beyond a float
        {"at 1 key Rihgt\n", "no key named 'Rihgt'"},
    };
    for (const Case& c : cases) {
        auto result = parseScript(c.text, "s.txt");
        EXPECT_FALSE(result.events) << c.text;
        EXPECT_NE(result.error.find(c.expected), std::string::npos) << c.text << " gave: " << result.error;
    }
    EXPECT_FALSE(loadScript("/nonexistent/script.txt").events);

    // A long line full of control bytes is quoted short and printable.
    std::string noise = "at 1 jump " + std::string(500, '\x01') + "\x1b[2J";
    std::string error = parseScript(noise, "s.txt").error;
    EXPECT_LT(error.size(), 120u) << error;
    EXPECT_NE(error.find("\\x01"), std::string::npos) << error;
    EXPECT_EQ(error.find('\x01'), std::string::npos);
}

TEST(AutomationScriptTest, FoldersAndOversizedScriptsAreRefused) {
    testsupport::TempDir dir;
    EXPECT_NE(loadScript(dir.path()).error.find("is a folder"), std::string::npos);
    std::string last = "\nat 1 quit";
    std::string full = std::string(kMaxScriptBytes - last.size(), '#') + last; // exactly at the limit
    ScriptParseResult atLimit = loadScript(dir.write("full.txt", full));
    ASSERT_TRUE(atLimit.events) << atLimit.error;
    EXPECT_EQ(atLimit.events->size(), 1u);
    EXPECT_NE(loadScript(dir.write("big.txt", full + "\n")).error.find("larger than 16 MB"),
              std::string::npos);
}

TEST(AutomationScriptTest, AScriptOrLogThatIsAFifoIsRefusedAtOnce) {
    testsupport::TempDir dir;
    const std::string path = dir.path() + "/script.txt";
    {
        // Something answers every open, so a reader that did open it would
        // read an empty script instead of blocking this test.
        testsupport::SwappedFifo fifo(path);
        ASSERT_TRUE(fifo.made());
        ScriptParseResult script = loadScript(path);
        EXPECT_FALSE(script.events);
        EXPECT_NE(script.error.find("is not a regular file"), std::string::npos) << script.error;
    }
    // A FIFO that nothing reads would hold the log's open for good.
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    LogFile log;
    std::string error;
    EXPECT_FALSE(log.open(path, error));
    EXPECT_EQ(error, "a FIFO that nothing reads");
    EXPECT_FALSE(log.write("lost"));
    EXPECT_FALSE(LogFile().open(dir.path(), error));
    // A file and a device take lines; a full device says so.
    LogFile file;
    ASSERT_TRUE(file.open(dir.path() + "/log.txt", error)) << error;
    EXPECT_TRUE(file.write("one line"));
    LogFile full;
    ASSERT_TRUE(full.open("/dev/full", error)) << error;
    EXPECT_FALSE(full.write("no room"));
}

TEST(AutomationScriptTest, PlayerHandsOutDueEventsOnce) {
    auto result = parseScript("at 0.5 down 1 1\nat 0.5 up 1 1\nat 1 quit\n", "s");
    ScriptPlayer player(*result.events);
    // Only a script that saves frames has every frame copied for it.
    EXPECT_FALSE(player.takesShots());
    EXPECT_TRUE(ScriptPlayer(*parseScript("at 1 turnshot t.png\n", "s").events).takesShots());
    // A window's loop that sleeps while nothing moves wakes for the next one.
    EXPECT_EQ(player.nextTime(), 0.5);
    EXPECT_TRUE(player.takeDue(0.49).empty());
    EXPECT_EQ(player.takeDue(0.5).size(), 2u);
    EXPECT_EQ(player.nextTime(), 1.0);
    EXPECT_TRUE(player.takeDue(0.9).empty());
    EXPECT_FALSE(player.finished());
    EXPECT_EQ(player.takeDue(5).size(), 1u);
    EXPECT_TRUE(player.finished());
    EXPECT_TRUE(std::isinf(player.nextTime()));
}
