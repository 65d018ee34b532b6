// The command words of the message bus, each written once: posters build
// their text from these ("MSG_PLAYFX " nm=%s ..."), listeners register them.
#pragma once

// Input and views to the controller.
#define MSG_ASPECT "aspect"
#define MSG_PAUSE "pause"
#define MSG_START "start"
#define MSG_PLAY "play"
#define MSG_RESTART "restart"
#define MSG_RESUME "resume"
#define MSG_MOVECOI "movecoi"
#define MSG_CAMCLIMB "camclimb"
#define MSG_TOGGLEHUD "togglehud"
#define MSG_BUILDMODE "buildmode"
#define MSG_PLACEBUILDING "placebuilding"
#define MSG_FARM "farm"
#define MSG_BAKERY "bakery"
#define MSG_HUT "hut"
#define MSG_TAXCOLLECTOR "taxcollector"
#define MSG_SHOWGOAL "showgoal"
#define MSG_GOBUTTON "gobutton"
#define MSG_HIRE "hire"
#define MSG_INFOBUTTON "infobutton"
#define MSG_DISMISSTOAST "dismisstoast"
#define MSG_SERIALIZE "serialize"
#define MSG_AREASELECT "areaselect"
#define MSG_WORKFORCE "workforce"
#define MSG_CAMERACONTROL "cameraControl"

// Settings menu.
#define MSG_SETTINGS "settings"
#define MSG_TRANSCRIBESETTING "transcribesetting"
#define MSG_MUSICSETTING "musicsetting"
#define MSG_DIFFICULTYSETTING "difficultysetting"
#define MSG_GUIDE "guide"

// Events of the world and the controller, for hints, sound and stats.
#define MSG_PLAYFX "playfx"
#define MSG_FARMBUILT "farmbuilt"
#define MSG_BAKERYBUILT "bakerybuilt"
#define MSG_HUTBUILT "hutbuilt"
#define MSG_MISSINGBAKERY "missingbakery"
#define MSG_MISSINGHUT "missinghut"
#define MSG_NEWSILVER "newsilver"
#define MSG_GAMEEND "gameend"

// Stats services.
#define MSG_STEAMINTSTAT "steamintstat"
#define MSG_STEAMFLTSTAT "steamfltstat"
#define MSG_STEAMSYNC "steamsync"
#define MSG_ACHIEVEMENT "achievement"
