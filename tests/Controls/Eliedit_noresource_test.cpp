// The ellipsis edit in a program that lacks the button's bitmap.
#include <gtest/gtest.h>

#include "Controls/Eliedit.h"
#include "Framework/Forms.h"

TEST(TEllipsisEdit, WithoutItsGlyphResourceConstructionFailsWithTheResourceError) {
    auto* form = new TForm(Application);
    int before = form->ComponentCount();
    EXPECT_THROW(new TEllipsisEdit(form), EResNotFound);
    // Nothing half-built stays behind with the owner.
    EXPECT_EQ(form->ComponentCount(), before);
    delete form;
}
