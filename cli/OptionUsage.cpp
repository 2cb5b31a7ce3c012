#include "cli/OptionUsage.h"

#include <algorithm>
#include <vector>

#include "cli/OptionTable.h"

namespace morvane {

namespace {

// The longest line, not counting the "usage: " before the first.
constexpr std::size_t kUsageWidth = 100;

// The parts of a usage a line may break between; brackets belong to the parts they open or close.
using TPieces = std::vector<std::string>;

void Append(TPieces& pieces, TPieces more) {
    pieces.insert(pieces.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

TPieces Enclosed(TPieces pieces, std::string_view open, std::string_view close) {
    pieces.front().insert(0, open);
    pieces.back() += close;
    return pieces;
}

std::string NameAndValue(const TOptionRow& row) {
    return row.ValueName.empty() ? std::string(row.Name)
                                 : std::string(row.Name) + " " + std::string(row.ValueName);
}

// The first group that command's usage sums up and row belongs to, or nullptr.
const TGroupRow* SummingGroup(const TOptionRow& row, TCliCommand command) {
    for (const TGroupRow& group : GroupRows()) {
        if ((group.Summed & CommandBit(command)) != 0 && InGroup(row, group.Group)) {
            return &group;
        }
    }
    return nullptr;
}

const TGroupRow* ExclusiveGroup(const TOptionRow& row) {
    for (const TGroupRow& group : GroupRows()) {
        if (group.Exclusive && InGroup(row, group.Group)) {
            return &group;
        }
    }
    return nullptr;
}

// The option row goes only with, when command's usage shows that option by itself.
std::string_view HostOf(const TOptionRow& row, TCliCommand command) {
    for (const std::string_view host : {row.Needs, row.OnlyWith.Option}) {
        const TOptionRow* const hostRow = host.empty() ? nullptr : FindOption(command, host);
        if (hostRow != nullptr && SummingGroup(*hostRow, command) == nullptr) {
            return host;
        }
    }
    return {};
}

// "--wheel T-M" or "(--time-column C | --sample-rate HZ)" of one term of Needs.
std::string NeedsTermText(const std::vector<const TOptionRow*>& term) {
    std::string text;
    for (const TOptionRow* row : term) {
        text += (text.empty() ? "" : " | ") + NameAndValue(*row);
    }
    return term.size() > 1 ? "(" + text + ")" : text;
}

// What an open group needs, then "[other encoder options]" and the groups summed up within it.
TPieces GroupSummary(const TGroupRow& group, TCliCommand command) {
    TPieces pieces;
    std::vector<const TOptionRow*> spelled;
    for (const auto& term : NeedsTerms(group, command)) {
        pieces.push_back(NeedsTermText(term));
        spelled.insert(spelled.end(), term.begin(), term.end());
    }
    std::vector<std::string_view> inner;
    bool others = false;
    for (const TOptionRow& row : OptionRows()) {
        if (!Takes(row, command) || !InGroup(row, group.Group) ||
            std::find(spelled.begin(), spelled.end(), &row) != spelled.end()) {
            continue;
        }
        const auto groups = GroupRows();
        const auto within = std::find_if(groups.begin(), groups.end(), [&](const TGroupRow& other) {
            return &other != &group && (other.Summed & CommandBit(command)) != 0 && InGroup(row, other.Group);
        });
        if (within == groups.end()) {
            others = true;
        } else if (std::find(inner.begin(), inner.end(), within->Name) == inner.end()) {
            inner.push_back(within->Name);
        }
    }
    if (others) {
        pieces.push_back("[" + std::string(pieces.empty() ? "" : "other ") + std::string(group.Name) +
                         " options]");
    }
    for (const std::string_view name : inner) {
        pieces.push_back("[" + std::string(name) + " options]");
    }
    return pieces;
}

TPieces RowItem(const TOptionRow& row, TCliCommand command, bool optional) {
    TPieces pieces{NameAndValue(row)};
    for (const TOptionRow& guest : OptionRows()) {
        if (Takes(guest, command) && SummingGroup(guest, command) == nullptr &&
            HostOf(guest, command) == row.Name) {
            Append(pieces, RowItem(guest, command, true));
        }
    }
    for (const TGroupRow& group : GroupRows()) {
        if (group.Lead == row.Name && (group.Summed & CommandBit(command)) != 0) {
            Append(pieces, GroupSummary(group, command));
        }
    }
    return optional ? Enclosed(std::move(pieces), "[", "]") : pieces;
}

// "[--angle FILE | --time FILE]": its members, of which one may be given.
TPieces ExclusiveItem(const TGroupRow& group, TCliCommand command) {
    TPieces pieces;
    for (const TOptionRow& row : OptionRows()) {
        if (Takes(row, command) && InGroup(row, group.Group)) {
            if (!pieces.empty()) {
                pieces.back() += " |";
            }
            Append(pieces, RowItem(row, command, false));
        }
    }
    const bool required = (group.Required & CommandBit(command)) != 0;
    return Enclosed(std::move(pieces), required ? "(" : "[", required ? ")" : "]");
}

bool IsLastSummed(const TOptionRow& row, const TGroupRow& group, TCliCommand command) {
    const auto rows = OptionRows();
    return std::none_of(rows.begin() + (&row - rows.data()) + 1, rows.end(), [&](const TOptionRow& later) {
        return Takes(later, command) && SummingGroup(later, command) == &group;
    });
}

// A summed group without its lead stands where its last member would.
TPieces SummedItem(const TOptionRow& row, const TGroupRow& group, TCliCommand command) {
    const bool led = !group.Lead.empty() && FindOption(command, group.Lead) != nullptr;
    if (led || !IsLastSummed(row, group, command)) {
        return {};
    }
    TPieces pieces = GroupSummary(group, command);
    const bool spelled = std::any_of(pieces.begin(), pieces.end(),
                                     [](const std::string& piece) { return piece.front() != '['; });
    return spelled ? Enclosed(std::move(pieces), "[", "]") : pieces;
}

TPieces CommandPieces(TCliCommand command) {
    TPieces pieces;
    if (const TOptionRow* const positional = PositionalOption(command)) {
        TPieces item{std::string(positional->Name) + (positional->Repeats ? "..." : "")};
        Append(pieces, Needed(*positional, command) ? item : Enclosed(item, "[", "]"));
    }
    std::vector<const TGroupRow*> shown;
    for (const TOptionRow& row : OptionRows()) {
        if (!Takes(row, command) || PositionalOption(command) == &row) {
            continue;
        }
        if (const TGroupRow* const summing = SummingGroup(row, command)) {
            Append(pieces, SummedItem(row, *summing, command));
        } else if (const TGroupRow* const exclusive = ExclusiveGroup(row)) {
            if (std::find(shown.begin(), shown.end(), exclusive) == shown.end()) {
                shown.push_back(exclusive);
                Append(pieces, ExclusiveItem(*exclusive, command));
            }
        } else if (HostOf(row, command).empty()) {
            Append(pieces, RowItem(row, command, !Needed(row, command)));
        }
    }
    return pieces;
}

// How many brackets text leaves open.
int OpenBrackets(std::string_view text) {
    int depth = 0;
    for (const char c : text) {
        depth += c == '[' || c == '(' ? 1 : c == ']' || c == ')' ? -1 : 0;
    }
    return depth;
}

// Lines of at most kUsageWidth; a continued line starts below the first option,
// one further in per bracket left open.
std::string Wrapped(const std::string& head, const TPieces& pieces) {
    std::string text = head;
    std::size_t lineStart = 0;
    int depth = 0;
    for (const std::string& piece : pieces) {
        if (text.size() - lineStart + 1 + piece.size() > kUsageWidth) {
            text += "\n";
            lineStart = text.size();
            text.append(head.size() + 1 + static_cast<std::size_t>(depth), ' ');
        } else {
            text += " ";
        }
        text += piece;
        depth += OpenBrackets(piece);
    }
    return text;
}

}  // namespace

std::string UsageLines(TCliCommand command) {
    if (command != TCliCommand::None) {
        return Wrapped("morvane-cli " + std::string(CommandOf(command).Word), CommandPieces(command));
    }
    std::string words;
    for (const TCommandRow& row : CommandRows()) {
        if (row.Command != TCliCommand::None) {
            words += (words.empty() ? "" : " | ") + std::string(row.Word);
        }
    }
    return "morvane-cli (" + words + ") [options]; --help, --version";
}

}  // namespace morvane
