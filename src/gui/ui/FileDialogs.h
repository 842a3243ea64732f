#pragma once
#include <QString>
#include <QStringList>

namespace quiltara::gui {

/// The program's "Desc|*.a;*.b|...||" filter strings in Qt's form, one per entry.
QStringList QtNameFilters(const char* programFilter);

} // namespace quiltara::gui
