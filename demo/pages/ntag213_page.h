// The NTag213 page: NTAG213 tags, pages 0-44, with NFC sector selection,
// version, signature, counter, password authentication and fast read.
//
// Automation ids beyond the shared ones (ultralight_family.h):
//   1008 version, 1009 signature, 1010 counter, 1011 password, 1012 PACK,
//   1013 "读取版本号", 1014 "读取签名", 1015 "读取计数", 1016 "密码认证",
//   1017 "快速读取", 1018 start page, 1019 end page;
//   frames 1020 "寻卡", 1021 "读取版本计数签名", 1022 "读写操作".
#pragma once

#include "pages/ultralight_family.h"
#include "shell/reader_api.h"

class CNtag213 : public UltralightFamilyPage {
    Q_OBJECT
public:
    enum Id {
        kVersion = 1008,
        kSignature,
        kCounter,
        kPassword,
        kPack,
        kReadVersion,
        kReadSignature,
        kReadCounter,
        kPasswordAuth,
        kFastRead,
        kStartPage,
        kEndPage,
        kRequestFrame,
        kInformationFrame,
        kReadWriteFrame,
    };
    // At most this many pages are read at once by the fast read.
    static constexpr int kFastReadPages = 15;

    explicit CNtag213(PageContext& context);

private:
    using Query = decltype(&::rf_Ntag_Get_Version);
    // "读取版本号", "读取签名", "读取计数": one query shown in one field.
    void ReadInformation(Query query, const QString& label, CHexEdit* field);
    void PasswordAuth();
    void FastRead();

    CHexEdit* version_;
    CHexEdit* signature_;
    CHexEdit* counter_;
    CHexEdit* password_;
    CHexEdit* pack_;
    QComboBox* start_;
    QComboBox* end_;
};
