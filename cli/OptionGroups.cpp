#include "cli/OptionGroups.h"

#include <algorithm>

namespace morvane {

namespace {

bool TakesMember(TCliCommand command, TOptionGroup group, std::string_view name) {
    const TOptionRow* const row = FindOption(command, name);
    return row != nullptr && InGroup(*row, group);
}

// The lead of the group where command takes it, or nullptr.
const TOptionRow* LeadOf(const TGroupRow& group, TCliCommand command) {
    return group.Lead.empty() ? nullptr : FindOption(command, group.Lead);
}

// The name of an open group in its mistakes: its lead, or the first member given.
std::string_view OpenerOf(const TGroupRow& group, TCliCommand command, const TGiven& given) {
    if (const TOptionRow* const lead = LeadOf(group, command)) {
        return given.Names.contains(std::string(lead->Name)) ? lead->Name : std::string_view();
    }
    for (const TGivenOption& option : given.Options) {
        if (InGroup(*option.Row, group.Group)) {
            return option.Row->Name;
        }
    }
    return {};
}

// One term of Needs: an option, or alternatives of which exactly one is given.
void CheckNeedsTerm(const std::vector<const TOptionRow*>& term, const TGiven& given,
                    std::string_view opener) {
    std::string names;
    const auto givenCount = std::count_if(term.begin(), term.end(), [&](const TOptionRow* row) {
        names += (names.empty() ? "" : "|") + std::string(row->Name);
        return given.Names.contains(std::string(row->Name));
    });
    if (givenCount == 1) {
        return;
    }
    if (term.size() > 1) {
        throw EUsageError(std::string(opener) + " needs either " + ChoicesText(names));
    }
    const TOptionRow& single = *term.front();
    if (!single.Missing.empty()) {
        throw EUsageError(std::string(single.Missing));
    }
    throw EUsageError(std::string(opener) + " needs " + std::string(single.Name) + " " +
                      std::string(single.ValueName));
}

void CheckOpenGroup(const TGroupRow& group, TCliArguments& result, const TGiven& given) {
    const std::string_view opener = OpenerOf(group, result.Command, given);
    if (opener.empty()) {
        return;
    }
    for (const auto& term : NeedsTerms(group, result.Command)) {
        CheckNeedsTerm(term, given, opener);
    }
    if (group.Opened != nullptr) {
        group.Opened(result);
    }
}

}  // namespace

std::string_view GivenText(TCliCommand command, const TGiven& given, std::string_view name) {
    for (const TGivenOption& option : given.Options) {
        if (option.Row->Name == name) {
            return option.Text;
        }
    }
    const TOptionRow* const row = FindOption(command, name);
    return row == nullptr ? std::string_view() : row->Default;
}

void CheckRequiredGroups(TCliCommand command, const TGiven& given) {
    for (const TGroupRow& group : GroupRows()) {
        if ((group.Required & CommandBit(command)) != 0 &&
            std::none_of(given.Names.begin(), given.Names.end(),
                         [&](const std::string& name) { return TakesMember(command, group.Group, name); })) {
            throw EUsageError(std::string(group.Missing));
        }
    }
}

void CheckLedGroups(TCliArguments& result, const TGiven& given) {
    for (const TGroupRow& group : GroupRows()) {
        const TOptionRow* const lead = LeadOf(group, result.Command);
        if (lead == nullptr) {
            continue;
        }
        if (!given.Names.contains(std::string(lead->Name))) {
            for (const std::string& name : given.Names) {
                if (TakesMember(result.Command, group.Group, name)) {
                    throw EUsageError(name + " goes only with " + std::string(lead->Name));
                }
            }
        }
        CheckOpenGroup(group, result, given);
    }
}

void CheckOpenedGroups(TCliArguments& result, const TGiven& given) {
    for (const TGroupRow& group : GroupRows()) {
        if (LeadOf(group, result.Command) == nullptr) {
            CheckOpenGroup(group, result, given);
        }
    }
}

void CheckNeededWhen(TCliCommand command, const TGiven& given) {
    for (const TGroupRow& group : GroupRows()) {
        const TOnlyWith& when = group.NeededWhen;
        if (when.Option.empty() || FindOption(command, when.Option) == nullptr ||
            ChoiceIndex(when.Values, GivenText(command, given, when.Option)) < 0) {
            continue;
        }
        std::string members;
        bool complete = true;
        for (const TOptionRow& row : OptionRows()) {
            if (Takes(row, command) && InGroup(row, group.Group)) {
                members += (members.empty() ? "" : "|") + std::string(row.Name);
                complete = complete && given.Names.contains(std::string(row.Name));
            }
        }
        if (!complete) {
            throw EUsageError(std::string(when.Option) + " " + std::string(when.Values) + " needs " +
                              ChoicesText(members, "and"));
        }
    }
}

}  // namespace morvane
