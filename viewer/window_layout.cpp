#include "viewer/window_layout.h"

#include <algorithm>

WindowSize windowedSizeForMonitor(int modeWidth, int modeHeight) {
    return {static_cast<int>(static_cast<float>(modeWidth) * 0.75f),
            static_cast<int>(static_cast<float>(modeHeight) * 0.75f)};
}

WindowPosition centredWindowPosition(int modeWidth, int modeHeight, int width, int height) {
    return {(modeWidth - width) / 2, (modeHeight - height) / 2};
}

bool overlaps(const UiRect& a, const UiRect& b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

namespace {

constexpr float kGap = 10;
// The tide window opens this far from the right edge (its width and margin).
constexpr float kTideWindowReach = 580;

// Keeps a rectangle on the display: moved back left and up, then shrunk.
UiRect onDisplay(UiRect r, const UiMetrics& m, float top) {
    r.x = std::max(0.0f, std::min(r.x, m.displayWidth - kGap - r.width));
    r.y = std::max(top, std::min(r.y, m.displayHeight - kGap - r.height));
    r.width = std::min(r.width, m.displayWidth - kGap - r.x);
    r.height = std::min(r.height, m.displayHeight - kGap - r.y);
    return r;
}

} // namespace

UiLayout uiLayout(const UiMetrics& m) {
    UiLayout l;
    const float top = m.frameHeight + kGap;  // under the main menu bar
    const float titled = m.frameHeight + 2 * m.padding;  // a window's title bar and padding

    // Just under the menu bar, always.
    l.toolbar = {12, m.frameHeight + 12, m.toolbarWidth, m.toolbarHeight};
    // At (20, 100) when the toolbar ends above it, else under the toolbar at
    // its largest, so that it does not move when a route is begun.
    l.legend = {20, std::max(100.0f, l.toolbar.bottom() + kGap), 94 + 2 * m.padding, 220 + titled};
    // Room for the "Tout effacer" button and eight lines of markers.
    const float markerRow = m.lineHeight + m.spacing;
    l.markers = onDisplay(
        {20, l.legend.bottom() + kGap, 400, titled + m.frameHeight + 2 * m.spacing + 1 + 8 * markerRow}, m, top);

    const float column = std::max({l.toolbar.right(), l.legend.right(), l.markers.right()}) + kGap;
    l.help = onDisplay({column, top, 900, 700}, m, top);
    // Left of where the tide window opens, so a picked day shows beside its curve.
    l.calendar = onDisplay({std::max(column, m.displayWidth - kTideWindowReach - kGap - 550), top, 550, 750}, m, top);
    // Four size buttons 150 wide on one line, and the two groups of lines.
    l.settings = onDisplay({column, top, 4 * 150 + 3 * 8 + 2 * m.padding + kGap,
                            titled + 3 * m.frameHeight + 6 * m.lineHeight + 14 * m.spacing},
                           m, top);
    // Auto-resized: the seven factor buttons 28 wide and four lines.
    l.exaggeration = onDisplay({column, l.settings.bottom() + kGap, 7 * 28 + 6 * 8 + 2 * m.padding,
                                titled + 2 * m.lineHeight + 28 + 5 * m.spacing},
                               m, top);
    return l;
}
