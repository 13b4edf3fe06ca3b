// A duct network: a tree of sections from the fan to the grilles, each computed with the
// calculator's formulas, with the losses along every path, the main path and the branch balance.
#pragma once

#include "catalogues/CatalogueFile.h"
#include "common/Errors.h"
#include "fittings/Fittings.h"
#include "hydraulics/Formulas.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

// A network that cannot be used or computed. The message names the section and the field; both
// are kept apart too, so that a window can point at the cell ("" where there is none).
struct NetworkError : Error {
    NetworkError(const std::string& message, std::string sectionId, std::string field);
    std::string sectionId; // "" for the network's own fields and the file as a whole
    std::string field;     // as named in the file: "length", "air.t", ...
};

// The error of a field: of the network itself when sectionId is "" ("поле «Vmax»: …"), else of
// the section ("участок «5», поле «size»: …"; without the field when it is "").
NetworkError FieldError(const std::string& sectionId, const std::string& field,
                        const std::string& reason);

// The error of a field of the section at a 1-based place in the file, whose id is not known.
NetworkError PlaceError(std::size_t position, const std::string& field, const std::string& reason);

struct AirState {
    double t = 20.0;      // °C
    double PBar = 1013.0; // hPa
    bool operator==(const AirState&) const = default;
};

struct NetworkSection {
    std::string id;
    std::string parent; // the id of the section it hangs from; "" for the root
    DuctShape shape = DuctShape::Rectangular;
    std::string
        size; // millimetres, "." as separator: "500*300" (flat oval: width first), "400", "auto"
    int material = 0;                 // index of the shape's material list
    double length = 0.0;              // m
    double kms = 0.0;                 // sum of the local resistance coefficients
    double flow = 0.0;                // m3/h, the section's own (at its grilles)
    std::optional<double> Vmax;       // m/s for an "auto" size; the network's when absent
    std::vector<FittingUse> fittings; // their Σ count·ζ is added to kms
    bool operator==(const NetworkSection&) const = default;
};

struct Network {
    std::string name;
    AirState air;
    double Vmax = 6.0;                    // m/s, for "auto" sizes
    double tolerance = 10.0;              // %, the imbalance above which a branch is flagged
    double reserve = 10.0;                // %, added to the main path's loss for the fan
    std::vector<NetworkSection> sections; // in file order
    bool operator==(const Network&) const = default;
};

// ---- Names -------------------------------------------------------------------------------------

std::string_view ShapeKey(DuctShape shape);                  // "rectangular", "flat-oval", "round"
std::optional<DuctShape> ShapeFromKey(std::string_view key); // nullopt for any other text
std::string_view ShapeName(DuctShape shape);                 // "Прямоугольный", ...
int MaterialCount(DuctShape shape);                          // 5, or 2 for the flat oval
std::string_view MaterialName(int materialIndex); // "Стальной", ...; "" out of range

// ---- Sizes -------------------------------------------------------------------------------------

inline constexpr std::string_view AutoSize = "auto";

// A section's size in millimetres (B is 0 for round), or "auto".
struct SectionSize {
    bool automatic = false;
    double A = 0.0, B = 0.0;
};

// The size a text gives for the shape: "auto", or number texts with "." as separator, without
// blanks, each above 0: "A*B" for rectangular and flat-oval (the flat oval's width A not below its
// height B), "D" for round. nullopt when the text is no size; problem then says why (in Russian).
std::optional<SectionSize> ParseSectionSize(DuctShape shape, std::string_view text,
                                            std::string* problem = nullptr);

// "500*300" or "400": the number texts with "." as separator.
std::string SectionSizeText(DuctShape shape, double A, double B);

// ---- The tree ----------------------------------------------------------------------------------

inline constexpr std::size_t NoSection = static_cast<std::size_t>(-1);

struct NetworkTree {
    std::size_t root = NoSection;                   // NoSection for a network without sections
    std::vector<std::size_t> parent;                // NoSection for the root
    std::vector<std::vector<std::size_t>> children; // each in file order
    std::vector<std::size_t> order;                 // every section after the one it hangs from
};

// Links the sections by their ids. Throws NetworkError for an empty, duplicate or unusable id, an
// unknown parent, a second root, and sections hanging from each other in a ring.
NetworkTree BuildNetworkTree(const Network& network);

// What a check of a network found for its computation: the tree and each section's Σζ.
struct CheckedNetwork {
    NetworkTree tree;
    std::vector<double> kms; // SectionKms of each section, in file order
};

// Every rule a network must keep before it can be computed: the tree, the air state, Vmax,
// tolerance and reserve, each section's size, material, length, kms, flow and Vmax. Throws
// NetworkError naming the first section (in file order) and field that breaks one.
CheckedNetwork CheckNetwork(const Network& network);

// The Σζ a section is computed with: its kms (typed by hand) plus Σ count·ζ of its fittings.
// Throws NetworkError (field "fittings") naming the fitting's place in the list and its parameter.
double SectionKms(const NetworkSection& section);

// Where in a section's list a fitting's problem is: "местное сопротивление № 2, параметр «r_d»"
// (position from 1; without the parameter when it is "").
std::string FittingPlaceText(std::size_t position, const std::string& parameter);

// ---- Computing ---------------------------------------------------------------------------------

// The catalogues the "auto" sizes are chosen from; only the shapes that have one are needed.
struct NetworkCatalogues {
    std::optional<SizeCatalogue> rectangular, flatOval, round;
    const SizeCatalogue* For(DuctShape shape) const;
};

// Reads, from folder, the catalogue of every shape that some "auto" section has. Throws
// NetworkError naming the first such section and "size" when a catalogue cannot be read.
NetworkCatalogues ReadNetworkCatalogues(const Network& network, const std::string& folder);

struct SectionResult {
    double flow = 0.0;           // m3/h through the section: its own and that of all below it
    double A = 0.0, B = 0.0;     // the size used, mm (B 0 for round)
    bool automatic = false;      // the size was chosen from the catalogue
    bool catalogueShort = false; // chosen, but the catalogue's largest size, and still too small
    double Vmax = 0.0;           // m/s: the limit of this section, its own or the network's
    bool overVmax = false;       // V above Vmax
    double F = 0.0, De = 0.0;    // m2, m
    double kms = 0.0;            // the Σζ computed with (SectionKms)
    double V = 0.0, R = 0.0, Rl = 0.0, Pd = 0.0, Z = 0.0, P = 0.0; // m/s, Pa/m, Pa, Pa, Pa, Pa
    double path = 0.0;               // Pa lost from the fan to the end of this section
    bool terminal = false;           // nothing hangs from it
    bool main = false;               // on the main path
    std::optional<double> imbalance; // %, for a branch compared with the one that leads at its node
    bool flagged = false;            // imbalance above the network's tolerance
};

struct NetworkResults {
    double density = 0.0;                 // kg/m3 of the network's air
    std::vector<SectionResult> sections;  // in file order
    std::vector<std::size_t> mainPath;    // from the root to the main terminal
    double mainLoss = 0.0;                // Pa: the path loss of the main terminal
    double fanPressure = 0.0;             // Pa: mainLoss with the reserve
    std::vector<std::size_t> flagged;     // sections whose imbalance is flagged, in file order
    std::vector<std::size_t> withoutFlow; // sections that carry no air, in file order
    std::vector<std::size_t> overVmax;    // sections faster than their Vmax, in file order
    NetworkTree tree;                     // the sections' tree, as computed
};

// The catalogue row an "auto" size takes: the first from row 0 whose area reaches Q / (Vmax·3600),
// the last when none does. Throws Error for an empty catalogue.
std::size_t ChooseCatalogueRow(const SizeCatalogue& rows, DuctShape shape, double Q, double Vmax);

// Computes every section. A section that carries no air (flow 0) loses nothing: V, R, Pd, Z and P
// are 0, the limit of the formulas as the flow goes to 0; a branch without air is not compared
// with the others at its branching. Throws NetworkError: for a network that
// breaks a rule of CheckNetwork, for an "auto" size whose catalogue is missing, empty or gives no
// usable size, for a section whose figures overflow.
NetworkResults ComputeNetwork(const Network& network, const NetworkCatalogues& catalogues = {});

// The same for a network already checked: `checked` is what CheckNetwork returned for this very
// network, unchanged since, and is not checked again.
NetworkResults ComputeNetwork(const Network& network, const NetworkCatalogues& catalogues,
                              CheckedNetwork checked);

// ---- Messages ----------------------------------------------------------------------------------

// What a system error number means, in Russian ("файл не найден", ...).
std::string SystemErrorText(int systemError);

// What an input-output error of a catalogue means, in Russian.
std::string InOutErrorText(const InOutError& error);

// A user's text as a message quotes it: whole up to `characters` characters, else its beginning,
// "…" and its length, so that no message grows with what a file holds.
std::string Excerpt(std::string_view text, std::size_t characters = 40);

// Why a text cannot be a section's id: control characters (DEL too) and the marks that turn the
// direction of the text around it (U+202A…U+202E, U+2066…U+2069), which would make one id look
// like another; nullopt for a usable id.
std::optional<std::string> IdProblem(std::string_view id);

// ---- Plausible values --------------------------------------------------------------------------

// What a network's duct and air can be: sizes in mm, air temperature in °C and pressure in hPa.
inline constexpr double MinSectionSize = 10.0, MaxSectionSize = 10'000.0;
inline constexpr double MinAirT = -60.0, MaxAirT = 300.0;
inline constexpr double MinAirPBar = 500.0, MaxAirPBar = 1'200.0;

} // namespace kalvor
