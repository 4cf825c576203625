# The layers of src/, lowest first: the one list the build and the include check
# (tests/layers.cmake) read. Each layer is a folder src/<layer> and a library gyvkt_<layer> that
# publishes only its own headers, as <layer>/File.h, and builds on every layer before it in this
# list; none can include a layer that comes after it. A new layer is one name here, at its place,
# and a folder with a CMakeLists.txt that makes gyvkt_<layer> from its files.
set(GYVKT_LAYERS base model formats render services institution app gui)
# The institution archive needs libpq; a build without it (GYVKT_INSTITUTION off, as the Windows
# build is for now) leaves the layer out. The include check always counts it.
if(DEFINED GYVKT_INSTITUTION AND NOT GYVKT_INSTITUTION)
    list(REMOVE_ITEM GYVKT_LAYERS institution)
endif()

# The programs on top, side by side, each with the highest layer it builds on: the command line
# works without windows.
set(GYVKT_PROGRAMS main cli)
set(GYVKT_PROGRAM_TOP_main gui)
set(GYVKT_PROGRAM_TOP_cli app)
