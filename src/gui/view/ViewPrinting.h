#pragma once
#include "core/document/PrintSize.h"
#include "core/image/DIBSection2.h"

#include <QString>

class QPrinter;
class QWidget;

namespace quiltara::gui {

struct CommandState;

/// The print settings of the application ("Print", "DPI", "PrintSzW", "PrintSzH"),
/// or the defaults without an application.
PrintSizeSettings CurrentPrintSettings();
/// The printer's printable area and resolution, as the sizing works with them.
PrinterFigures FiguresOf(const QPrinter& printer);

/// Prints the picture on one page of printer, sized by settings. A size below one
/// pixel per inch prints an empty page. False, with the text to show, when the picture
/// cannot be turned into a printable bitmap or the printer cannot be opened.
bool PrintPicture(QPrinter& printer, const CDIBSection2& picture, const PrintSizeSettings& settings,
                  QString* error = nullptr);

/// The print commands of a view: "&Print...", the direct print, "Print Pre&view" and
/// "Set Print Size...". False for other commands.
bool RunPrintCommand(int id, QWidget* view, const CDIBSection2& picture);
bool UpdatePrintCommand(int id, const CDIBSection2& picture, CommandState& state);

/// "P&rint Setup...": the printer and its page for the next prints (an application
/// command: it needs no picture).
void RunPrintSetup(QWidget* parent);

/// The printer the print commands share, so that "P&rint Setup..." choices last.
QPrinter& SharedPrinter();

} // namespace quiltara::gui
