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
void CheckNeedsTerm(TCliCommand command, const TGiven& given, std::string_view opener,
                    std::string_view term) {
    std::string taken;
    int givenCount = 0;
    const TOptionRow* single = nullptr;
    for (std::size_t at = 0; at <= term.size();) {
        const std::size_t bar = std::min(term.find('|', at), term.size());
        if (const TOptionRow* const row = FindOption(command, term.substr(at, bar - at))) {
            taken += (taken.empty() ? "" : "|") + std::string(row->Name);
            givenCount += given.Names.contains(std::string(row->Name)) ? 1 : 0;
            single = row;
        }
        at = bar + 1;
    }
    if (taken.empty() || givenCount == 1) {
        return;
    }
    if (taken.find('|') != std::string::npos) {
        throw EUsageError(std::string(opener) + " needs either " + ChoicesText(taken));
    }
    if (!single->Missing.empty()) {
        throw EUsageError(std::string(single->Missing));
    }
    throw EUsageError(std::string(opener) + " needs " + std::string(single->Name) + " " +
                      std::string(single->ValueName));
}

void CheckOpenGroup(const TGroupRow& group, TCliArguments& result, const TGiven& given) {
    const std::string_view opener = OpenerOf(group, result.Command, given);
    if (opener.empty()) {
        return;
    }
    for (std::size_t at = 0; at < group.Needs.size();) {
        const std::size_t space = std::min(group.Needs.find(' ', at), group.Needs.size());
        CheckNeedsTerm(result.Command, given, opener, group.Needs.substr(at, space - at));
        at = space + 1;
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
