// The WML example page that the About window carries in its hidden Text1 and
// the main window's example command copies into the input box.
#include "ui/about/frm_help.h"

#include "ui/product.h"

#include <QStringList>

namespace morvane::ui {

QString WmlExample() {
    // Indentation exactly as the page is laid out: blanks on the card lines,
    // tabs inside the card. Every line ends in CR LF, the last one included.
    const QStringList lines = {
        QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?>"),
        QStringLiteral("<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.1//EN\" "
                       "\"http://www.wapforum.org/DTD/wml_1.1.xml\">"),
        QStringLiteral("<wml>"),
        QStringLiteral("    <card id=\"Main\" title=\"WAP代码实例\">"),
        QStringLiteral("\t\t<p align=\"center\">"),
        QStringLiteral("\t\t<b>T a r n w i c k</b>"),
        QStringLiteral("\t\t</p>"),
        QStringLiteral("\t\t<p align=\"left\">"),
        QStringLiteral("『Tarnwick』专注于WAP领域(WAP开发、软件、网站、企业行业应用等)，"
                       "欢迎社会各界人士与我们携手共进，共创WAP辉煌！"),
        QStringLiteral("\t\t</p>"),
        QStringLiteral("\t\t<p align=\"center\">"),
        QStringLiteral("\t\t\t<br/>"),
        QStringLiteral("\t\t\t<small>") + kMakerUrl + QStringLiteral("</small>"),
        QStringLiteral("\t\t</p>"),
        QStringLiteral("    </card>"),
        QStringLiteral("</wml>"),
    };
    QString page;
    for (const QString& line : lines) {
        page += line + QStringLiteral("\r\n");
    }
    return page;
}

} // namespace morvane::ui
