#include "support/family.h"

namespace testsupport {

namespace {

struct Registry {
    std::vector<std::unique_ptr<FamilyMember>> owned;
    std::vector<FamilyMember*> members;
};

Registry& Members() {
    static Registry registry;
    return registry;
}

}  // namespace

const std::vector<FamilyMember*>& FamilyMembers() {
    return Members().members;
}

void AddFamilyMember(std::unique_ptr<FamilyMember> member) {
    Members().members.push_back(member.get());
    Members().owned.push_back(std::move(member));
}

}  // namespace testsupport
