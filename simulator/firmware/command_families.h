// The reader's command families. Each registers its handlers by command
// code; server/families.cpp calls them all, in the order in which the
// handlers of a shared code are asked.
#pragma once

namespace sim {

class Firmware;

void registerReaderControl(Firmware& firmware);
void registerTypeACommands(Firmware& firmware);
void registerMifareCommands(Firmware& firmware);
void registerMifareOneShotCommands(Firmware& firmware);
void registerMifareReaderRecords(Firmware& firmware);
void registerUltralightCommands(Firmware& firmware);
void registerIso15693Commands(Firmware& firmware);
void registerStCommands(Firmware& firmware);
void registerAt88Commands(Firmware& firmware);
void registerFelicaCommands(Firmware& firmware);
void registerIso14443_4Commands(Firmware& firmware);
void registerSamCommands(Firmware& firmware);
void registerCpuCardCommands(Firmware& firmware);
void registerPsamCommands(Firmware& firmware);

}  // namespace sim
