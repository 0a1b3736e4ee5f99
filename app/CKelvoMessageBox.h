#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every message box of the application: caption and text from the string table, an OK button,
// owned by the main window (or by none).
namespace CKelvoMessageBox {

void Show(QWidget* owner, const QString& caption, const QString& text);
// The confirmation question (Yes/No); true for Yes.
bool Ask(QWidget* owner, const QString& caption, const QString& text);

// Where messages go instead of a box, for the test build of the program, which drives the real
// windows and cannot answer a modal box: the sink returns the answer to a question. None (the
// default): boxes show.
using Sink = std::function<bool(const QString& caption, const QString& text)>;
void SetSink(Sink sink);

} // namespace CKelvoMessageBox
