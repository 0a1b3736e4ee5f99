#pragma once

#include <QString>

class QWidget;

// Every message box of the application: caption and text from the string table, an OK button,
// owned by the main window (or by none).
//
// KELVO_MESSAGE_LOG names a file that receives "caption|text" lines instead of showing the box.
// It exists for the end-to-end tests, which drive the real program and cannot answer a modal box;
// users have no reason to set it.
namespace CKelvoMessageBox {

void Show(QWidget* owner, const QString& caption, const QString& text);
// The confirmation question (Yes/No); true for Yes. Logged as answered Yes.
bool Ask(QWidget* owner, const QString& caption, const QString& text);

} // namespace CKelvoMessageBox
