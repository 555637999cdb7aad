// Resource ids of the player window.
#pragma once

#define IDD_PLAYER 165
#define IDI_PLAYER_LOUD 171
#define IDI_PLAYER_MUTE 172
#define IDC_PLAYER_NOWPLAYING 1078
#define IDC_PLAYER_VOLUME 1081
#define IDC_PLAYER_LOUD 1082
#define IDC_PLAYER_MUTE 1084
#define IDC_PLAYER_CLOCK 1085
