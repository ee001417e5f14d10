#pragma once
// The toolkit's own texts (the text boxes' context menu, standard dialog
// buttons) in the user's language, from Qt's translation catalogues.

class QLocale;

namespace morvane::ui {

/// Installs Qt's catalogue for `locale` from Qt's translations directory
/// into the running application; false when none is installed for it (the
/// toolkit's texts then stay English). The layout stays left to right.
bool LoadToolkitTranslations(const QLocale& locale);

} // namespace morvane::ui
