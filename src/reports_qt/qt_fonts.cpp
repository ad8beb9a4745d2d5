#include "reports_qt/qt_fonts.h"

#include <QFontDatabase>
#include <map>
#include <mutex>

namespace marqor {

QString ReportFontFamily(const std::string& name) {
    static std::mutex lock;
    static std::map<std::string, QString> known;
    std::lock_guard guard(lock);
    if (const auto found = known.find(name); found != known.end())
        return found->second;
    QString family = QString::fromStdString(name);
    if (!QFontDatabase::hasFamily(family)) {
        static const std::pair<const char*, const char*> twins[] = {
            {"Arial", "Liberation Sans"},
            {"Courier New", "Liberation Mono"},
            {"Times New Roman", "Liberation Serif"},
        };
        for (const auto& [original, twin] : twins)
            if (family.compare(QLatin1String(original), Qt::CaseInsensitive) == 0 &&
                QFontDatabase::hasFamily(QLatin1String(twin))) {
                family = QLatin1String(twin);
                break;
            }
    }
    known.emplace(name, family);
    return family;
}

QFont ReportQFont(const TKvrFont& font) {
    QFont qfont(ReportFontFamily(font.Name));
    qfont.setPointSize(std::max(1, font.Size));
    if (font.Pitch == 2) {
        qfont.setFixedPitch(true);
        qfont.setStyleHint(QFont::TypeWriter);
    }
    return qfont;
}

} // namespace marqor
