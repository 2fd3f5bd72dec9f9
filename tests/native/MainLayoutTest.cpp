// The layout text and the building of components from it.
#include <gtest/gtest.h>

#include "app/Components.h"
#include "app/Layout.h"
#include "app/LayoutBuilder.h"
#include "tests/native/GrellFakes.h"

namespace vardak::app {
namespace {

TEST(LayoutParserTest, ValuesOfEveryKind) {
    const LayoutObject root = parseLayout(R"(
object Form1: TForm   // a comment
  Count = -42
  Mask = $1F
  Text = 'it''s' + #13#10'two'
  Flag = True
  Style = [fsBold, fsItalic]
  Empty = []
  Data = {00FF
          7a}
  Items = <
    item
      Name = 'a'
    end
    item
    end>
  object Child: TPanel
    Font.Height = -13
  end
end
)");
    EXPECT_EQ(root.name, "Form1");
    EXPECT_EQ(root.className, "TForm");
    const auto& p = root.properties;
    ASSERT_EQ(p.size(), 8u);
    EXPECT_EQ(p[0].value.number, -42);
    EXPECT_EQ(p[1].value.number, 0x1F);
    EXPECT_EQ(p[2].value.text, "it's\r\ntwo");
    EXPECT_EQ(p[3].value.asBool(), true);
    EXPECT_EQ(p[4].value.members, (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_EQ(p[5].value.kind, LayoutValue::Kind::Set);
    EXPECT_TRUE(p[5].value.members.empty());
    EXPECT_EQ(p[6].value.bytes, (std::vector<uint8_t>{0x00, 0xFF, 0x7A}));
    ASSERT_EQ(p[7].value.items.size(), 2u);
    EXPECT_EQ(p[7].value.items[0].properties[0].value.text, "a");
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0].properties[0].name, "Font.Height");
}

TEST(LayoutParserTest, DamagedTextNamesTheLine) {
    auto lineOf = [](std::string_view text) {
        try {
            parseLayout(text);
        } catch (const LayoutError& error) {
            return error.line();
        }
        return 0;
    };
    EXPECT_EQ(lineOf("object A: TB\n  X = 'open\nend\n"), 2);
    EXPECT_EQ(lineOf("object A: TB\n  X = {0F0}\nend\n"), 2);
    EXPECT_EQ(lineOf("object A: TB\n  X = {0G}\nend\n"), 2);
    EXPECT_EQ(lineOf("object A: TB\n  X = #300\nend\n"), 2);
    EXPECT_EQ(lineOf("object A: TB\n  X =\nend\n"), 3);
    EXPECT_EQ(lineOf("object A: TB\n  X = 1\n"), 3);
    EXPECT_EQ(lineOf("object A TB\nend\n"), 1);
    EXPECT_EQ(lineOf("object A: TB\nend\nend\n"), 3);
    EXPECT_EQ(lineOf("object A: TB\n  X = 99999999999999999999\nend\n"), 2);
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += "object A: TB\n";
    EXPECT_GT(lineOf(deep), 0);
}

// ---------------------------------------------------------------- building

class BuilderTest : public ::testing::Test {
protected:
    BuilderTest() {
        registry.add("TPanel", [](TComponent* owner) { return new TPanel(owner); });
        registry.add("TImage", [](TComponent* owner) { return new TImage(owner); });
        registry.add("TThing", [](TComponent* owner) { return new TLayoutPlaceholder(owner, "TThing"); });
    }

    void build(std::string_view text) {
        const LayoutServices services{
            registry,
            [this](std::string_view name) -> std::shared_ptr<const grell::TGrellGraphic> {
                if (name == "MISSING") return nullptr;
                return grelltest::solidGraphic(8, 4, 0x42);
            },
            [this](std::string_view name) -> std::optional<grell::EventHandler> {
                if (name != "FormMouseDown") return std::nullopt;
                return grell::EventHandler{.mouse = [this](TObject&, grell::MouseButton, grell::TPoint) { ++mouseDowns; }};
            },
        };
        form = std::make_unique<grell::TGrellWinControl>(nullptr);
        buildLayout(*form, parseLayout(text), services);
    }

    std::string errorOf(std::string_view text) {
        try {
            build(text);
        } catch (const LayoutBuildError& error) {
            return error.what();
        }
        return "";
    }

    ComponentRegistry registry;
    std::unique_ptr<grell::TGrellWinControl> form;
    int mouseDowns = 0;
};

TEST_F(BuilderTest, ComponentsAreOwnedNamedAndParented) {
    build(R"(
object Form: TForm
  Width = 200
  Height = 100
  object Outer: TPanel
    Parent = Form
    Align = alClient
    object Picture: TImage
      Picture = 'ANY'
      OnMouseDown = FormMouseDown
    end
  end
  object Later: TThing
    Something = 'kept'
  end
end
)");
    ASSERT_EQ(form->componentCount(), 3);
    EXPECT_EQ(form->component(0)->name(), "Outer");
    EXPECT_EQ(form->component(1)->name(), "Picture");
    auto* outer = dynamic_cast<TPanel*>(form->component(0));
    auto* picture = dynamic_cast<TImage*>(form->component(1));
    ASSERT_TRUE(outer && picture);
    EXPECT_EQ(outer->parent(), form.get());
    EXPECT_EQ(picture->parent(), outer) << "a nested object sits on its enclosing control";
    EXPECT_EQ(outer->width(), 200);
    EXPECT_TRUE(picture->picture().hasGraphic());
    EXPECT_FALSE(picture->loading());
    picture->mouseDown(grell::MouseButton::Right, {1, 1});
    EXPECT_EQ(mouseDowns, 1);
    auto* later = dynamic_cast<TLayoutPlaceholder*>(form->component(2));
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->className(), "TThing");
    ASSERT_NE(later->setting("Something"), nullptr);
    EXPECT_EQ(later->setting("Something")->text, "kept");
}

TEST_F(BuilderTest, MistakesAreNamed) {
    EXPECT_EQ(errorOf("object F: TF\n object A: TNope\n end\nend"), "A: unknown class TNope");
    EXPECT_EQ(errorOf("object F: TF\n object A: TPanel\n Colour = 1\n end\nend"), "A: unknown property or value: Colour");
    EXPECT_EQ(errorOf("object F: TF\n object A: TPanel\n Align = alMiddle\n end\nend"),
              "A: unknown property or value: Align");
    EXPECT_EQ(errorOf("object F: TF\n object A: TPanel\n OnMouseDown = Nothing\n end\nend"),
              "A: cannot take OnMouseDown = Nothing");
    EXPECT_EQ(errorOf("object F: TF\n object A: TImage\n Picture = 'MISSING'\n end\nend"), "A: missing picture MISSING");
    EXPECT_EQ(errorOf("object F: TF\n object A: TImage\n end\n object B: TImage\n Parent = A\n end\nend"), "B: bad Parent");
    EXPECT_EQ(errorOf("object F: TF\n object A: TPanel\n end\n object A: TPanel\n end\nend"),
              "A: A component named A already exists");
    EXPECT_EQ(errorOf("object F: TF\n object A: TPanel\n Caption = F\n end\nend"), "A: cannot refer Caption to F");
}

}  // namespace
}  // namespace vardak::app
