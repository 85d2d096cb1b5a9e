#include <gtest/gtest.h>

#include "catalog/FileCatalog.h"
#include "ui/flow/ArrowRules.h"

namespace {

constexpr auto U = ButtonChange::kUnchanged;
constexpr auto E = ButtonChange::kEnable;
constexpr auto D = ButtonChange::kDisable;

enum Event { kBoxClick, kBoxSel, kBoxKill, kLocalClick, kLocalSel, kLocalKill };

struct Case {
    Event event;
    const char* text;  // the item judged; null: none
    bool focusOnArrow;
    ArrowChanges expected;
};

ArrowChanges Apply(const ArrowRules& rules, const Case& c) {
    switch (c.event) {
        case kBoxClick:
            return rules.BoxTreeClick(c.text);
        case kBoxSel:
            return rules.BoxTreeSelChanged(c.text);
        case kBoxKill:
            return rules.BoxTreeKillFocus(c.focusOnArrow);
        case kLocalClick:
            return rules.LocalTreeClick(c.text);
        case kLocalSel:
            return rules.LocalTreeSelChanged(c.text);
        case kLocalKill:
            return rules.LocalTreeKillFocus(c.focusOnArrow);
    }
    return {};
}

}  // namespace

TEST(ArrowRules, EachTreeEventSetsTheArrows) {
    FileCatalog catalog;
    catalog.AddEntry("Settings", "config.txt", 1);
    catalog.AddEntry("Channels", "channels.db", 2);
    catalog.AddEntry("Pictures", "logo.bmp", 0);
    catalog.AddEntry("Firmware", "update.pkg", 3);
    const ArrowRules rules(catalog);

    const Case cases[] = {
        // Box tree: download follows whether the text is a listed file.
        {kBoxClick, "config.txt", false, {E, D}},
        {kBoxClick, "logo.bmp", false, {E, D}},
        {kBoxClick, "update.pkg", false, {E, D}},
        {kBoxClick, "Settings", false, {D, D}},  // a group node
        {kBoxClick, nullptr, false, {D, D}},
        {kBoxSel, "channels.db", false, {E, U}},
        {kBoxSel, "Channels", false, {D, U}},
        {kBoxSel, nullptr, false, {D, U}},
        {kBoxKill, nullptr, true, {U, U}},
        {kBoxKill, nullptr, false, {D, U}},
        // Local tree: a click enables upload for any listed file, type 0 too;
        // a selection change only for types above 0.
        {kLocalClick, "logo.bmp", false, {D, E}},
        {kLocalClick, "config.txt", false, {D, E}},
        {kLocalClick, "Pictures", false, {D, D}},
        {kLocalClick, nullptr, false, {D, D}},
        {kLocalSel, "logo.bmp", false, {U, D}},
        {kLocalSel, "config.txt", false, {U, E}},
        {kLocalSel, "channels.db", false, {U, E}},
        {kLocalSel, "update.pkg", false, {U, E}},
        {kLocalSel, "Settings", false, {U, D}},
        {kLocalSel, nullptr, false, {U, D}},
        {kLocalKill, nullptr, true, {U, U}},
        {kLocalKill, nullptr, false, {U, D}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Apply(rules, c), c.expected)
            << "event " << c.event << " on " << (c.text ? c.text : "(none)");
    }
}
