# The font tables, compiled into the game.
generate_asset(font font_data.cpp)
# The HUD's raw images in the run folder, listed in Art/raw/.generated (the
# texture loader skips names that start with a dot).
generate_asset(art .generated ${RUN_DIR}/Art/raw)
