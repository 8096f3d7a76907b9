// The I CODE page: NXP I-CODE labels, 28 blocks of 4 bytes, with the
// electronic article surveillance commands. Every UID-addressed request
// carries the flags 0x02.
//
// Automation ids beyond the shared column (vicinity_page.h):
//   1016 Set EAS, 1017 Reset EAS, 1018 Lock EAS, 1019 EAS Alarm,
//   1020 EAS data; frames 1021 "操作窗口", 1022 "块信息窗口", 1023 "EAS操作窗口".
#pragma once

#include "pages/vicinity_page.h"

class CICODE : public VicinityPage {
    Q_OBJECT
public:
    enum Id { kSetEas = 1016, kResetEas, kLockEas, kEasAlarm, kEasData, kOperationFrame, kBlockFrame, kEasFrame };
    static constexpr int kBlocks = 28;

    explicit CICODE(PageContext& context);

private:
    void SetEas();
    void ResetEas();
    void LockEas();
    void EasAlarm();

    CHexEdit* eas_;
};
