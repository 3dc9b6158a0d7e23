// The general error box keeps to the same rules as the program's other boxes:
// a failure that repeats while its box is up is not stacked, and a timer's
// error waits for it to close.
#include "app/OneBoxAtATime.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/FakeServices.h"

namespace ostrel {
namespace {

using Texts = std::vector<std::string>;

TEST(OneBoxAtATime, AFailureIsOneOfTheBoxesUp) {
    testing::FakeDialogs dialogs;
    OneBoxAtATime boxes(dialogs);
    const auto fail = [&](const std::string& text) { boxes.failure(text, [&] { dialogs.message(text); }); };
    bool inside = false;
    dialogs.whileShowing = [&] {
        if (inside) return;
        inside = true;
        fail("E");  // the same failure again, as the next tick's: not shown
        {
            const OneBoxAtATime::Background tick(boxes);
            boxes.message("Не удалось записать файл обоев.");  // waits for the failure's box
        }
        fail("F");  // another failure: at once, in front
    };
    fail("E");
    EXPECT_EQ(dialogs.messages, (Texts{"E", "F", "Не удалось записать файл обоев."}));
    EXPECT_EQ(dialogs.deepest, 2);

    // A failure with the text of a message up is not shown either.
    dialogs.messages.clear();
    dialogs.whileShowing = [&] {
        if (dialogs.messages.size() == 1) fail("M");
    };
    boxes.message("M");
    EXPECT_EQ(dialogs.messages, (Texts{"M"}));
}

}  // namespace
}  // namespace ostrel
