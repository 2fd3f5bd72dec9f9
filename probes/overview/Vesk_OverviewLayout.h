// Where the overview window's controls sit: its sheets (tab controls whose tabs bring
// forward a container each) and its controls, by container and name, in pixels of the
// container. A page's content names controls by these names; the Win32 window makes
// the controls from this table and finds them by page and name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "probes/overview/Vesk_Overview.h"

namespace vardak::probes {

enum class OverviewControlKind : uint8_t {
    Label, Edit, Memo, Group, CheckBox, Button, Panel, Gauge, ListView, ListBox, CheckList, ComboBox, Tree, Icon,
};

// What a control does when the user uses it.
enum class OverviewCommand : uint8_t {
    None, Report, Refresh, Close, Environment, NTSpec, Modes, Caps, Proto, Serv, Cli, Props, PrintSetup, Web, Mail,
    DriveChange, AdaptersChange,
};

// A place in a container. A width or height of 0 or less reaches to that many pixels
// short of the container's right or bottom edge; a negative left or top counts from
// the right or bottom edge.
struct OverviewPlace {
    int16_t left = 0;
    int16_t top = 0;
    int16_t width = 0;
    int16_t height = 0;
};

// The rectangle a place takes in a container of that size.
struct OverviewRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};
OverviewRect placeIn(const OverviewPlace& place, int containerWidth, int containerHeight);

// The window's own area holds the bottom strip and the page control `pc`.
inline constexpr std::string_view kOverviewWindowArea = "frmVesk_Overview";
inline constexpr int kOverviewClientWidth = 399;
inline constexpr int kOverviewClientHeight = 509;
inline constexpr OverviewPlace kPageControlPlace{5, 5, -5, -42};

// A tab control in a container; its tabs bring forward the containers of `pages`
// ("|" between names, captions likewise). A sheet with fewer containers than tabs
// shows its one container under every tab.
struct OverviewSheet {
    std::string_view container;
    std::string_view name;
    std::string_view captions;
    std::string_view pages;
    OverviewPlace place;
};

struct OverviewControl {
    std::string_view container;
    OverviewControlKind kind;
    std::string_view name;  // empty for a plain label nobody fills
    std::string_view caption;
    OverviewPlace place;
    OverviewCommand command = OverviewCommand::None;
    int tag = 0;
};

std::span<const OverviewSheet> overviewSheets();
std::span<const OverviewControl> overviewControls();

// The page a container belongs to: a page's own container or one of its sheets'
// containers, at any depth; nothing for the window's own area or an unknown name.
std::optional<OverviewPage> pageOfContainer(std::string_view container);

// A control of a page by name; sheets are not controls.
const OverviewControl* findOverviewControl(OverviewPage page, std::string_view name);
// A sheet of a page by name.
const OverviewSheet* findOverviewSheet(OverviewPage page, std::string_view name);

// The icon of a page's tab, into the window's image list.
int pageIcon(OverviewPage page);
// The About page's note.
inline constexpr std::string_view kAboutNote =
    "The Ostrel System Information Component reads what Windows, the processor and the "
    "firmware tell about this computer and shows it here, a topic to a page. \"Refresh\" "
    "reads everything again; \"Report...\" saves all topics or the one in front as a "
    "text file.";

}  // namespace vardak::probes
