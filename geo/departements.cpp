// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/departements.h"

#include "text/text.h"

#include <iterator>

namespace ondelog {

namespace {

// The rows in their historical order, which decides the first match. Written
// here in UTF-8 and turned into the log's code page once.
std::vector<std::string> buildTable()
{
    static const char *const rowsUtf8[] = {
        "001Ain",
        "002Aisne",
        "003Allier",
        "004Alpes-Hte-Provence",
        "005 Hautes-Alpes",
        "006Alpes-Maritimes",
        "007Ardèche",
        "008Ardennes",
        "009Ariège",
        "010Aube",
        "011Aude",
        "012Aveyron",
        "013Bouches-du-Rhône",
        "014Calvados",
        "015Cantal",
        "016Charente",
        "017Charente-Maritime",
        "018Cher",
        "019Corrèze",
        "020Corse",
        "02ACorse-du-Sud",
        "02B Haute-Corse",
        "021Côte-d'Or",
        "022Côtes-D'Armor",
        "023Creuse",
        "024Dordogne",
        "025Doubs",
        "026Drôme",
        "027Eure",
        "028Eure-et-Loir",
        "029Finistère",
        "030Gard",
        "031Haute-Garonne",
        "032Gers",
        "033Gironde",
        "034Hérault",
        "035Ille-et-Vilaine",
        "036Indre",
        "037Indre-et-Loire",
        "038Isère",
        "039Jura",
        "040Landes",
        "041Loir-et-Cher",
        "042Loire",
        "043Haute-Loire",
        "044Loire-Atlantique",
        "045Loiret",
        "046Lot",
        "047Lot-et-Garonne",
        "048Lozère",
        "049Maine-et-Loire",
        "050Manche",
        "051Marne",
        "052Haute-Marne",
        "053Mayenne",
        "054Meurthe-et-Moselle",
        "055Meuse",
        "056Morbihan",
        "057Moselle",
        "058Nièvre",
        "059Nord",
        "060Oise",
        "061Orne",
        "062Pas-de-Calais",
        "063Puy-de-Dôme",
        "064Pyrénées-Atlantiques",
        "065Hautes-Pyrénées",
        "066Pyrénées-Orientales",
        "067Bas-Rhin",
        "068Haut-Rhin",
        "069Rhône",
        "070Haute-Saône",
        "071Saône-et-Loire",
        "072Sarthe",
        "073Savoie",
        "074Haute-Savoie",
        "075Ville-de-Paris",
        "076Seine-Maritime",
        "077Seine-et-Marne",
        "078Yvelines",
        "079Deux-Sèvres",
        "080Somme",
        "081Tarn",
        "082Tarn-et-Garonne",
        "083Var",
        "084Vaucluse",
        "085Vendée",
        "086Vienne",
        "087Haute-Vienne",
        "088Vosges",
        "089Yonne",
        "090Territoire-de-Belfort",
        "091Essonne",
        "092Hauts-de-Seine",
        "093Seine-Saint-Denis",
        "094Val-de-Marne",
        "095Val-d'Oise",
        "971Guadeloupe",
        "972Martinique",
        "973Guyane",
        "974Réunion",
    };
    std::vector<std::string> table;
    table.reserve(std::size(rowsUtf8) + 1);
    table.emplace_back();
    for (const char *row : rowsUtf8)
        table.push_back(utf8ToCp1252(row));
    return table;
}

} // namespace

void fillDeptTable()
{
    deptTable();
}

const std::vector<std::string> &deptTable()
{
    static const std::vector<std::string> table = buildTable();
    return table;
}

std::optional<std::string> deptName(std::string_view code)
{
    if (code.empty())
        return std::string();
    // Compared by numeric value, so "075" finds 75 and "2A" finds 2 (Aisne,
    // ahead of the Corsican rows whose codes also read as 2).
    const double wanted = numericValue(code);
    const auto &table = deptTable();
    for (std::size_t i = 1; i < table.size(); ++i) {
        const std::string &row = table[i];
        if (numericValue(std::string_view(row).substr(0, 3)) == wanted)
            return row.substr(3);
    }
    return std::nullopt;
}

} // namespace ondelog
