#pragma once

class QCoreApplication;

// The toolkit's own texts (an edit's context menu, a dialog's buttons) in French, as every
// other text of the program. Answers false when the translation is not installed: the texts
// then stay in English.
bool useFrenchToolkitTexts(QCoreApplication &app);
