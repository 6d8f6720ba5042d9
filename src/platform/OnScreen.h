#pragma once

class QPoint;
class QRect;
class QWidget;

// Every window of the program opens wholly on the screen, its frame (title
// bar and borders) included, so that no part of it and none of its buttons
// lie out of reach. A window is placed as it is being shown, before the
// window manager frames it; until a window has had a frame, the frame the
// program's other windows have had is counted.

// Puts the window's frame's top-left corner at the point, in screen
// coordinates: where a window's Left and Top place it.
void MoveFrameTo(QWidget* window, const QPoint& at);

// Moves the window by as little as puts its frame wholly inside room; a
// window too large for room keeps its top-left corner, and so its title
// bar, inside. The window is placed even when it is inside already: a place
// the program asks for is one the window manager keeps, where it would
// otherwise choose one of its own each time the window is shown.
void KeepInside(QWidget* window, const QRect& room);

// KeepInside the available area (the screen less panels and docks) of the
// screen that holds the window's centre, or of the window's own screen when
// none does.
void KeepOnScreen(QWidget* window);

// For a main window being shown: the first time, before the program has
// placed it, centred on firstCentre; later where it was. KeepOnScreen in
// either case.
void ShowOnScreen(QWidget* window, const QPoint& firstCentre);
