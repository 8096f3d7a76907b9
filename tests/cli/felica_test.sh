#!/usr/bin/env bash
# kovalink felica against a simulated FeliCa card.
source "$(dirname "$0")/lib.sh" "$1"

start_sim --card felica:uid=012E112233445566
expect 0 felica uid
stdout_has "uid: 112233445566"
sim_command "remove 0"
expect 5 felica uid
stderr_has "rf_felica_get_uid failed: status 0x0A"
finish
