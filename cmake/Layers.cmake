# The layers of src/, lowest first: the one list the build and the include check
# (tests/layers.cmake) read. Each layer is a folder src/<layer> and a library gyvkt_<layer> that
# publishes only its own headers, as <layer>/File.h, and builds on every layer before it in this
# list; none can include a layer that comes after it. A new layer is one name here, at its place,
# and a folder with a CMakeLists.txt that makes gyvkt_<layer> from its files.
set(GYVKT_LAYERS base model formats render services app gui)

# The programs on top, side by side, each with the highest layer it builds on: the command line
# works without windows.
set(GYVKT_PROGRAMS main cli)
set(GYVKT_PROGRAM_TOP_main gui)
set(GYVKT_PROGRAM_TOP_cli app)
