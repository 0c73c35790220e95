// The points layer under Wine, shown by this program over a window of its own
// (the studio's command for it comes later): what the screen shows at the
// marks, a click beside them reaching the window below, a mark dragged with
// SendInput reported where it was let go, and the rewritten line played by
// the player onto that pixel.

#include "helpers/desktop_input.h"
#include "helpers/pointer.h"
#include "points.h"
#include "points_layer.h"
#include "spy_screen.h"
#include "support/e2e.h"
#include "support/screen.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr COLORREF Background = RGB(40, 160, 90); // 28A05A as the waits read it

bool toGbk(std::string_view utf8, std::string& out) {
    wchar_t wide[4];
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide, 4);
    char bytes[8];
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(936, 0, wide, units, bytes, 8, nullptr, &lossy);
    if (units <= 0 || length <= 0 || lossy) {
        return false;
    }
    out.append(bytes, static_cast<std::size_t>(length));
    return true;
}

bool asUtf8(std::string_view gbk, std::string& utf8) {
    utf8.assign(gbk); // the lines here are ASCII
    return true;
}

PointerScreen primaryScreen() {
    return PointerScreen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

struct LayerEvent {
    char kind = 0; // 'c' clicked, 'd' dropped, 'e' Esc
    int line = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The layer on a thread of its own with a message loop, as the studio's
// window thread runs it; what it reports is recorded.
class ShownLayer {
  public:
    explicit ShownLayer(std::vector<Place> places) {
        thread = std::thread([this, places] { run(places); });
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(10), [this] { return started; });
    }
    ~ShownLayer() {
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        thread.join();
    }
    bool shown() const { return showed; }
    bool waitForEvents(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5),
                                [&] { return events.size() >= count; });
    }
    std::vector<LayerEvent> recorded() {
        std::lock_guard<std::mutex> lock(mutex);
        return events;
    }

  private:
    static void record(void* context, LayerEvent event) {
        auto* self = static_cast<ShownLayer*>(context);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->events.push_back(event);
        self->changed.notify_all();
    }
    void run(const std::vector<Place>& places) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        PointsLayerEvents handlers;
        handlers.context = this;
        handlers.markClicked = [](void* context, int line) {
            record(context, LayerEvent{'c', line, 0, 0});
        };
        handlers.markDropped = [](void* context, int line, std::int32_t x, std::int32_t y) {
            record(context, LayerEvent{'d', line, x, y});
        };
        handlers.escapePressed = [](void* context) { record(context, LayerEvent{'e', 0, 0, 0}); };
        const bool ok = showPointsLayer(places, handlers);
        {
            std::lock_guard<std::mutex> lock(mutex);
            threadId = GetCurrentThreadId();
            showed = ok;
            started = true;
            changed.notify_all();
        }
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        hidePointsLayer();
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<LayerEvent> events;
    bool started = false;
    bool showed = false;
    DWORD threadId = 0;
    std::thread thread;
};

using e2e::screenPixel;
using e2e::showsColour;

std::vector<Place> placesOf(StudioDocument& document, const std::string& script) {
    document.toGbk = toGbk;
    setDocumentText(document, script);
    return findPlaces(document, primaryScreen());
}

TEST(PointsLayer, MarksStandOnTheirPixelsAndClicksBesideThemReachTheWindowBelow) {
    e2e::TestWindowOptions options;
    options.background = Background;
    options.doubleClicks = false;
    e2e::TestWindow below(options); // at (100, 100), 640 x 480
    ASSERT_TRUE(below.activate());
    StudioDocument document;
    const std::vector<Place> places = placesOf(document, "Start\n"
                                                         "MoveTo 400 300\n"
                                                         "LClick\n"
                                                         "WaitColor 500 350 28A05A\n"
                                                         "WaitNotColor 600 250 28A05A\n"
                                                         "End");
    ASSERT_EQ(places.size(), 3u);
    ShownLayer layer(places);
    ASSERT_TRUE(layer.shown());
    Sleep(500);

    // Each mark frames its pixel and leaves the pixel itself uncovered. The
    // frame of a MoveTo is blue, of a colour line orange.
    const int hole = MagnifiedPixels / 2 + 1; // at 96 DPI
    const Place& move = places[0];
    EXPECT_EQ(screenPixel(move.pixelX, move.pixelY - hole - 1), RGB(0, 90, 220));
    EXPECT_EQ(screenPixel(move.pixelX - hole - 1, move.pixelY), RGB(0, 90, 220));
    EXPECT_EQ(screenPixel(move.pixelX, move.pixelY), Background);
    EXPECT_EQ(screenPixel(move.pixelX + hole, move.pixelY + hole), Background);
    const Place& waitColour = places[1];
    EXPECT_EQ(screenPixel(waitColour.pixelX, waitColour.pixelY - hole - 1), RGB(230, 110, 0));
    EXPECT_EQ(screenPixel(waitColour.pixelX, waitColour.pixelY), Background);

    // The wait that would not be over now is crossed out in red beside its
    // label; the one that would be over is not.
    const auto labelRow = [](const Place& place) {
        return RECT{place.pixelX, place.pixelY - 45, place.pixelX + 160, place.pixelY - 8};
    };
    EXPECT_TRUE(showsColour(labelRow(places[2]), RGB(220, 0, 0)));
    EXPECT_FALSE(showsColour(labelRow(places[1]), RGB(220, 0, 0)));
    // Its swatches: the expected colour and the colour now, both the window's.
    EXPECT_TRUE(showsColour(labelRow(places[1]), Background));

    // A click beside the marks goes through to the window.
    below.clearMessages();
    e2e::movePointer(POINT{300, 450});
    Sleep(200);
    e2e::click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(below.waitFor([](const std::vector<e2e::ReceivedMessage>& messages) {
        for (const e2e::ReceivedMessage& message : messages) {
            if (message.message == WM_LBUTTONUP) {
                return true;
            }
        }
        return false;
    }));
    bool downAtPoint = false;
    POINT client{300, 450};
    ScreenToClient(below.handle(), &client);
    for (const e2e::ReceivedMessage& message : below.messages()) {
        if (message.message == WM_LBUTTONDOWN) {
            downAtPoint = static_cast<short>(LOWORD(message.lParam)) == client.x &&
                          static_cast<short>(HIWORD(message.lParam)) == client.y;
        }
    }
    EXPECT_TRUE(downAtPoint) << ::testing::PrintToString(e2e::describe(below.messages()));
    EXPECT_TRUE(layer.recorded().empty());

    // A click on a mark's frame names its line.
    e2e::movePointer(POINT{move.pixelX, move.pixelY - hole - 1});
    Sleep(200);
    e2e::click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(layer.waitForEvents(1));
    EXPECT_EQ(layer.recorded()[0].kind, 'c');
    EXPECT_EQ(layer.recorded()[0].line, 2);

    // Esc on the layer.
    e2e::tap(VK_ESCAPE);
    ASSERT_TRUE(layer.waitForEvents(2));
    EXPECT_EQ(layer.recorded()[1].kind, 'e');
}

TEST(PointsLayer, ADraggedMarkIsDroppedOnThePixelItsLinePlaysOnto) {
    e2e::TestWindowOptions options;
    options.background = Background;
    e2e::TestWindow below(options);
    ASSERT_TRUE(below.activate());
    StudioDocument document;
    const std::vector<Place> places = placesOf(document, "Start\nMMT 400 300\nLClick\nEnd");
    ASSERT_EQ(places.size(), 1u);
    auto layer = std::make_unique<ShownLayer>(places);
    ASSERT_TRUE(layer->shown());
    Sleep(300);

    // Down on the label's frame, a few steps, up on the target.
    const int hole = MagnifiedPixels / 2 + 1;
    const POINT grab{places[0].pixelX + hole + 1, places[0].pixelY};
    const POINT target{523, 377};
    e2e::movePointer(grab);
    Sleep(200);
    e2e::button(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    for (int step = 1; step <= 5; ++step) {
        e2e::movePointer(POINT{grab.x + (target.x - grab.x) * step / 5,
                               grab.y + (target.y - grab.y) * step / 5});
        Sleep(60);
    }
    // A hand holds still over the target before letting go: under Wine the
    // pointer's position can trail the last move by a step.
    POINT now{};
    for (int wait = 0; wait < 100 && (now.x != target.x || now.y != target.y); ++wait) {
        Sleep(20);
        GetCursorPos(&now);
    }
    Sleep(200);
    // The magnifier is up beside the pointer while the mark is held.
    EXPECT_TRUE(showsColour(RECT{target.x + 28, target.y + 28, target.x + 40, target.y + 40},
                            RGB(20, 20, 20)));
    e2e::button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(layer->waitForEvents(1));
    const LayerEvent drop = layer->recorded()[0];
    EXPECT_EQ(drop.kind, 'd');
    EXPECT_EQ(drop.line, 2);
    EXPECT_EQ(drop.x, target.x);
    EXPECT_EQ(drop.y, target.y);

    // The line rewritten for the drop keeps its short name, and the player
    // puts the pointer on that pixel.
    DragDrop dropped;
    dropped.pixelX = drop.x;
    dropped.pixelY = drop.y;
    const DraggedLine rewritten =
        rewriteDraggedLine(document.lines[1].text, toGbk, asUtf8, primaryScreen(), dropped);
    ASSERT_TRUE(rewritten.ok) << rewritten.reason;
    EXPECT_EQ(rewritten.line.rfind("MMT ", 0), 0u) << rewritten.line;
    // The points are hidden for the run: under Wine 8 a move of the player's
    // did not stick while they were shown (the pointer went back to where it
    // was before the drag).
    layer.reset();
    ASSERT_TRUE(e2e::movePointerSteadily({150, 450}));
    // Under Wine a move that warps the X pointer may fall back unless made
    // twice, and the player lives a moment after it (as the spy's test plays).
    const std::string player =
        e2e::playerWithScript("points_drop", "Start No Box\n" + rewritten.line + "\nDelay 200\n" +
                                                 rewritten.line + "\nDelay 300\nEnd\n");
    ASSERT_FALSE(player.empty());
    ASSERT_EQ(e2e::runProgram(player), std::optional<DWORD>(0));
    POINT at{};
    for (int wait = 0; wait < 100 && (at.x != target.x || at.y != target.y); ++wait) {
        Sleep(20);
        GetCursorPos(&at);
    }
    EXPECT_EQ(at.x, target.x);
    EXPECT_EQ(at.y, target.y);
}

} // namespace
