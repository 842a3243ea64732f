#include "gui/ui/FileDialogs.h"

#include "core/base/FileDialogFilter.h"

namespace quiltara::gui {

QStringList QtNameFilters(const char* programFilter) {
    QStringList filters;
    for (const FileFilterEntry& entry : ParseFileFilter(programFilter)) {
        QStringList patterns;
        for (const std::string& p : entry.patterns) {
            // Files on this system come in both cases; match either.
            const QString pattern = QString::fromStdString(p);
            patterns << pattern;
            if (pattern.toLower() != pattern) patterns << pattern.toLower();
        }
        filters << QString::fromStdString(entry.description) + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

} // namespace quiltara::gui
