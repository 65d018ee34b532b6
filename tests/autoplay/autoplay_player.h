// The scripted player's side of the headless game: it surveys the map,
// decides once a game second what to build, whom to hire and which layer to
// mark, and pays as the controller's handlers do.
#pragma once

// A new game has started: survey the map, start the build order afresh.
void autoplay_player_start();
void autoplay_decide();
// Living and queued workers of a trade (0 builders .. 3 servants).
int autoplay_trade_count(int trade);
