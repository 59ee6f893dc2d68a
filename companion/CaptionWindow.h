#pragma once

class QWidget;

namespace palvina {

struct CaptionContent;

// The caption window is a plain Qt widget tree built here (no class of the module's own), so
// that nothing with code in the module is left behind once the window is deleted and the
// module unloaded. It is found again by its object name among the application's top-level
// widgets; the module keeps no pointer to it.
inline constexpr const char* kCaptionWindowName = "FennickCaptionWindow";

// The caption window of this process, or null.
QWidget* FindCaptionWindow();

// A new, hidden caption window: frameless, on top, never taking the focus, no taskbar entry.
QWidget* CreateCaptionWindow();

// Fills the window with the content, sizes it and shows it near the top-right corner of the
// primary screen, below the player's bar. Empty content hides it instead.
void ShowCaption(QWidget* window, const CaptionContent& content);

// Hides the window and forgets its content.
void HideCaption(QWidget* window);

// Deletes every caption window at once.
void DeleteCaptionWindows();

} // namespace palvina
