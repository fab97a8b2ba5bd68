// What the update dialog offers and when it shows, without drawing it.
#include "update/update_dialog.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<std::string> labels(const UpdateState& state) {
    std::set<std::string> out;
    for (const UpdateDialogButton& b : updateDialogButtons(state)) out.insert(b.label);
    return out;
}

UpdateState at(int phase, bool required, bool retryable = true) {
    UpdateState s;
    s.phase = phase;
    s.required = required;
    s.retryable = retryable;
    return s;
}

} // namespace

TEST(UpdateDialogModel, ButtonsByPhase) {
    using Set = std::set<std::string>;
    EXPECT_EQ(labels(at(3, false)), (Set{"Mettre à jour", "Plus tard", "Ignorer cette version"}));
    EXPECT_EQ(labels(at(4, false)), (Set{"Annuler", "Réduire"}));
    EXPECT_EQ(labels(at(5, false)), (Set{"Installer maintenant", "À la prochaine ouverture"}));
    EXPECT_EQ(labels(at(6, false, true)), (Set{"Réessayer", "Fermer"}));
    EXPECT_EQ(labels(at(6, false, false)), (Set{"Fermer"}));
    EXPECT_TRUE(labels(at(2, false)).empty());
    // A required update cannot be put off.
    EXPECT_EQ(labels(at(3, true)), (Set{"Mettre à jour"}));
    EXPECT_EQ(labels(at(4, true)), (Set{"Annuler"}));
    EXPECT_EQ(labels(at(5, true)), (Set{"Installer maintenant"}));
}

TEST(UpdateDialogModel, WhenTheDialogShows) {
    UpdateDialogState dialog;
    EXPECT_FALSE(updateDialogShown(dialog, at(1, false)));
    EXPECT_TRUE(updateDialogShown(dialog, at(4, false)));
    dialog.dismissed = true;  // "Réduire"
    EXPECT_FALSE(updateDialogShown(dialog, at(4, false)));
    EXPECT_TRUE(updateDialogShown(dialog, at(5, false)));  // the download finished: back
    dialog.dismissed = true;  // "À la prochaine ouverture"
    EXPECT_FALSE(updateDialogShown(dialog, at(5, false)));
    EXPECT_FALSE(updateDialogShown(dialog, at(6, false)));
    // "Fermer" on a required update's failure hides it for one frame only.
    dialog.dismissed = true;
    EXPECT_TRUE(updateDialogShown(dialog, at(6, true)));
    EXPECT_FALSE(updateDialogShown(dialog, at(2, true)));
    EXPECT_FALSE(dialog.open);
}

TEST(UpdateDialogModel, DownloadSizes) {
    EXPECT_EQ(formatDownloadSize(1610612736), "1.5 Go");
    EXPECT_EQ(formatDownloadSize(73400320), "70 Mo");
    EXPECT_EQ(formatDownloadSize(1073741823), "1024 Mo");
    EXPECT_EQ(formatDownloadSize(1073741824), "1.0 Go");
}
