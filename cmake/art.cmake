# The font tables, compiled into the game.
generate_asset(font font_data.cpp)
