#include "trailer_guard.h"

#include "mifare_access.h"

namespace kl::mifare {

std::string trailerRefusal(const std::uint8_t* trailer, unsigned sector, bool force) {
    const std::uint8_t* access = trailer + common::mifare::kAccessOffset;
    const std::string bits = toHex(access, 3);
    const std::string where = "the trailer of sector " + std::to_string(sector);
    const auto conditions = common::mifare::decodeAccess(access);
    if (!conditions) {
        return "access bits " + bits + " of " + where +
               " do not match their inverted copies; the card would make the sector unusable for good "
               "('kovalink mifare acl encode' builds valid ones)";
    }
    if (common::mifare::accessPermanent((*conditions)[3]) && !force) {
        return "access bits " + bits + " of " + where + " give the trailer condition " +
               common::mifare::conditionText((*conditions)[3]) +
               ", under which no key may change the access bits again; add --force to write them anyway";
    }
    return {};
}

}  // namespace kl::mifare
