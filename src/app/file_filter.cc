#include "app/file_filter.h"

#include <QStringList>

namespace tarvo::app {

QString QtNameFilters(std::string_view filter) {
  const QStringList parts = QString::fromUtf8(filter.data(), qsizetype(filter.size())).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    if (description.isEmpty() && patterns.isEmpty()) break;  // the closing "||"
    patterns.replace(';', ' ');
    if (patterns.isEmpty()) patterns = "*";
    if (description.contains('(')) {
      filters << description;
    } else if (description.isEmpty()) {
      filters << patterns;
    } else {
      filters << description + " (" + patterns + ")";
    }
  }
  if (filters.isEmpty()) filters << "All Files (*)";
  return filters.join(";;");
}

}  // namespace tarvo::app
