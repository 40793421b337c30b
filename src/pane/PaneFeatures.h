#pragma once

// Commands whose dialogs are not part of the program yet. Their actions exist
// but stay hidden and disabled, so that no visible control is dead; switching a
// flag on shows them with the enabled states the pane and the main window already
// compute.
namespace tolmira {

// Add, edit and view a record through the cable editor (pane, bottom bar, F3/F4).
inline constexpr bool kEditorCommands = true;
// Save to and load from the instrument's disk.
inline constexpr bool kDeviceCommands = true;
// Copy records between the panes (copy buttons, menu items, F5).
inline constexpr bool kCopyBetweenPanes = true;

}  // namespace tolmira
