// The start screen's rules that need no window: the notice's life, the account initials, button labels.
#include "zones/sidebar_text.h"
#include "zones/toast.h"

#include <gtest/gtest.h>

// Information for 4 s, an error for 8 s, both up to their last instant; a new notice replaces the old one.
TEST(Toast, EachNoticeStaysItsTimeThenGoes) {
    Toast toast;
    EXPECT_EQ(currentToast(toast, 0.0), "");
    for (const auto& [error, lasts] : {std::pair(false, 4.0), std::pair(true, 8.0)}) {
        showToast(toast, "Catalogue synchronise", error, 100.0);
        EXPECT_EQ(toast.error, error);
        EXPECT_EQ(currentToast(toast, 100.0 + lasts), "Catalogue synchronise") << lasts;
        EXPECT_EQ(currentToast(toast, 100.01 + lasts), "") << lasts;
        EXPECT_EQ(currentToast(toast, 100.0), "");  // cleared for good, not hidden
    }
    showToast(toast, "a", false, 0.0);
    showToast(toast, "b", true, 1.0);
    EXPECT_EQ(currentToast(toast, 8.5), "b");
}

TEST(StartScreenText, InitialsAndButtonLabels) {
    const struct {
        const char *name, *initials;
    } rows[] = {{"marin", "MA"}, {"x", "X"}, {"", "?"}, {"élodie", "ÉL"}, {"àlix", "ÀL"}, {"Zoé", "ZO"}};
    for (const auto& r : rows) EXPECT_EQ(accountInitials(r.name), r.initials) << r.name;
    EXPECT_EQ(buttonText("Brest##x"), "Brest# #x");
    EXPECT_EQ(buttonText("Saint-Malo"), "Saint-Malo");
}
