// Running out of memory at any allocation of a load, an OBJ read, a save or a command: the
// program reports it and goes on, and each pane either shows the finished operation or what it
// showed before, never a half-done one. Every allocation of this test program goes through the
// operator new below, which can be told to fail the n-th one; each test runs one session-script
// line once for every n until the line runs without reaching the failure.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <sstream>
#include <streambuf>
#include <string>

#include "cli/ScriptParser.h"
#include "cli/ScriptRunner.h"
#include "cli/Session.h"
#include "cli/TreePrinter.h"
#include "support/ScratchDir.h"

// The replacements below pair malloc with free; GCC sees the inlined calls and warns of a
// mismatch that is none.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

// Allocations left before the one that fails; negative: none fails.
std::atomic<long long> gAllocationsLeft{-1};

}  // namespace

void* operator new(std::size_t size) {
    if (gAllocationsLeft.load(std::memory_order_relaxed) >= 0 &&
        gAllocationsLeft.fetch_sub(1, std::memory_order_relaxed) == 0) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return ::operator new(size, std::nothrow);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Output that never allocates while it is written (an ostringstream that fails to grow would
// swallow the very message the test looks for).
class FixedSink : public std::streambuf {
  public:
    FixedSink() { text_.reserve(1 << 20); }
    const std::string& Text() const { return text_; }

  protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof() && text_.size() < text_.capacity()) {
            text_.push_back(static_cast<char>(c));
        }
        return c;
    }

  private:
    std::string text_;
};

constexpr const char* kOutOfMemory =
    "[Out of Memory] There is not enough memory to finish this operation.";

std::string Scenario(const char* path) {
    return "\"" + (fs::path(TESSARY_SCENARIO_DIR) / path).string() + "\"";
}

struct Outcome {
    std::string state;  // both panes: trees, texts, flags and the file written, if any
    std::string output;
    int status = 0;
};

class OutOfMemoryTest : public ::testing::Test {
  protected:
    test::ScratchDir dir;

    // One fresh session: `setup` runs normally, then `line` with the n-th allocation failing
    // (n < 0: none). `hit` tells whether the failure was reached.
    Outcome Run(const std::string& setup, const std::string& line, long long n, bool& hit) {
        FixedSink sink;
        std::ostream out(&sink);
        Outcome outcome;
        {
            Session session(out);
            ScriptRunner runner(session, "test");
            std::istringstream setupText(setup);
            std::istringstream lineText(line);
            std::vector<ScriptLine> setupLines;
            std::vector<ScriptLine> lines;
            std::string error;
            int errorLine = 0;
            EXPECT_TRUE(ParseScript(setupText, setupLines, error, errorLine)) << error;
            EXPECT_TRUE(ParseScript(lineText, lines, error, errorLine)) << error;
            std::ostringstream err;
            EXPECT_EQ(runner.Run(setupLines, err), 0) << err.str();
            const std::size_t before = sink.Text().size();
            gAllocationsLeft = n;
            outcome.status = runner.Run(lines, err);
            hit = gAllocationsLeft.exchange(-1) < 0 && n >= 0;
            EXPECT_NE(outcome.status, 2) << err.str();
            outcome.output = sink.Text().substr(before);
            outcome.state = State(session);
        }
        return outcome;
    }

    std::string State(Session& session) {
        std::ostringstream state;
        for (Side side : {Side::Left, Side::Right}) {
            const FigureFile& file = session.window.File(side);
            WriteTreeListing(session.Control(side), state);
            state << SavedText(file.root) << file.modified << file.loaded << file.figureSuffix
                  << '|' << file.geometryName << '|' << (file.objMesh ? "mesh" : "no mesh") << '\n';
        }
        state << test::ReadBytes(dir.File("out.cr2"));
        return state.str();
    }

    // Runs `line` failing each allocation in turn; every run ends with the panes as they were
    // before the line (and a message box) or as a normal run leaves them.
    void FailEachAllocation(const std::string& setup, const std::string& line,
                            const std::string& message) {
        test::WriteBytes(dir.File("out.cr2"), "old text\n");
        bool hit = false;
        const Outcome before = Run(setup, "state left\n", -1, hit);
        test::WriteBytes(dir.File("out.cr2"), "old text\n");
        const Outcome after = Run(setup, line, -1, hit);
        ASSERT_EQ(after.status, 0) << after.output;
        ASSERT_NE(after.state, before.state);
        long long n = 0;
        for (;; ++n) {
            test::WriteBytes(dir.File("out.cr2"), "old text\n");
            const Outcome outcome = Run(setup, line, n, hit);
            if (!hit) {
                EXPECT_EQ(outcome.state, after.state);
                break;
            }
            if (outcome.state == before.state) {
                EXPECT_EQ(outcome.status, 1) << "allocation " << n;
                // Before the action reaches its own handling the run itself reports it.
                EXPECT_TRUE(outcome.output.find(message) != std::string::npos ||
                            outcome.output.find(kOutOfMemory) != std::string::npos)
                    << "allocation " << n << ": " << outcome.output;
            } else {
                EXPECT_EQ(outcome.state, after.state) << "allocation " << n;
            }
            if (HasFailure()) {
                break;
            }
        }
        RecordProperty("allocations", std::to_string(n));
        EXPECT_GT(n, 10);
    }

    const std::string kTwoFigures = "load left " + Scenario("rename/fig1.cr2") + "\nload right " +
                                    Scenario("rename/fig1.cr2") + "\n";
};

TEST_F(OutOfMemoryTest, Load) {
    FailEachAllocation(kTwoFigures, "load left " + Scenario("drops/hand1.hd2"),
                       "[FileOpenError] Error opening file.");
}

TEST_F(OutOfMemoryTest, ObjRead) {
    FailEachAllocation(kTwoFigures, "obj left " + Scenario("drops/MESH.OBJ"),
                       "[FileOpenError] Error opening obj file.");
}

TEST_F(OutOfMemoryTest, Save) {
    FailEachAllocation(kTwoFigures + "rename left \"hip/MORPH TARGETS/Smile\" Grin\n",
                       "save left \"" + dir.File("out.cr2") + "\"",
                       "[FileOpenError] Error opening file.");
}

TEST_F(OutOfMemoryTest, CopyAndRenameCommands) {
    FailEachAllocation(kTwoFigures, "menu left \"hip/MORPH TARGETS/Smile\" Copy", kOutOfMemory);
    FailEachAllocation(kTwoFigures, "rename left \"hip/MORPH TARGETS/Smile\" Grin", kOutOfMemory);
}

}  // namespace
}  // namespace tessary
