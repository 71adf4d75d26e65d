#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

struct TXml;

// The words of a record load that could not be made.
namespace ViewText {
inline const QString RecordNotLoaded = QStringLiteral("La fiche n'a pas pu être chargée");
} // namespace ViewText

// What a record load shows besides the fields: toolbar, panels, diagnostic view, hints and the
// reservation labels.

struct ToolbarState
{
    bool kindButton = false; // JvXPBtnNewVO
    bool deleteButton = false; // JvXPBtnSuppr
    bool sweepButton = false; // JvXPBtnSweep
    bool accountingPanel = false; // PanelCompta
    bool diagnosticView = false; // SMS button, diagnostic labels, taller window
    bool optionsSummary = false; // LbInfoOptions
};

// Administrators delete every kind (others only customers) and sweep new-vehicle orders; the
// accounting group sees its panel; an administrator whose name holds "TARDOX" (exact case)
// gets the diagnostic view.
ToolbarState toolbarFor(const QString &RecordKind, bool RightAdmin, bool RightCompta,
                        const QString &UserName);

// The load time is shown to every user whose name holds "TARDOX" in any letter case.
bool loadTimeVisible(const QString &UserName);

// A toolbar hint reworded for the record shown: "véhicule" becomes "client" on customers and
// back on vehicles, only when the hint holds the word in exactly that case (then every
// occurrence, in any case, is replaced).
QString rewordHint(const QString &hint, bool customer);

// The four reservation captions of a "Resa" item (the cursor's current item).
std::array<QString, 4> reservationCaptions(const TXml &resa);

// The first "Resa" of the record document: the cursor is left on it, as readers of the
// record document select their element first. Nothing when the record has no reservation.
std::optional<std::array<QString, 4>> readReservation(TXml &recordDoc);

// The page a page-change key shows, among the pages shown (a page whose tab is hidden is never
// reached): step +1 or -1 from current, wrapping around; first or last for Home and End. The
// current page when no other one is shown.
enum class PageStep { Next, Previous, First, Last };
int shownPageAfter(const std::vector<bool> &shown, int current, PageStep step);
