# Shorter builds. A library or program of this project adopts them with one line after its
# add_library()/add_executable():
#
#   velkor_fast_build(<target>)
#
# It then reuses one precompiled header of the Qt headers most sources include, compiled once for
# the whole build instead of parsed again by every source file (about half of each file's compile
# time here). The test programs get theirs in tests/CMakeLists.txt.
#
# The precompiled header is made with only the definitions every Qt target here has (QT_CORE_LIB,
# QT_NO_DEBUG); the ones a target adds (QT_WIDGETS_LIB, QT_TESTLIB_LIB, paths of the programs)
# appear in none of its headers, so GCC and clang accept it for all of them. Should a target's
# flags ever not fit, GCC says so (-Winvalid-pch) and parses the headers itself.

option(VELKOR_PCH "Precompile the Qt headers shared by all targets" ON)
option(VELKOR_FAST_LINKER "Link with lld or gold when the compiler takes them" ON)

# ccache, when present and not chosen already. Sources with a precompiled header are only cached
# when ccache may ignore the definitions and time macros the header was made with.
find_program(VELKOR_CCACHE ccache)
if(VELKOR_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VELKOR_CCACHE})
endif()
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$" AND VELKOR_PCH)
  set(CMAKE_CXX_COMPILER_LAUNCHER
      env CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# The Qt headers that many sources include (the test programs add Qt Test's, tests/CMakeLists.txt).
# Every source loads the whole header, so one that few sources use does not belong here.
set(VELKOR_PCH_HEADERS
  <QByteArray> <QColor> <QComboBox> <QDir> <QFile> <QFileInfo> <QGroupBox> <QLabel>
  <QLineEdit> <QList> <QObject> <QPainter> <QPushButton> <QRadioButton>
  <QRegularExpression> <QSignalBlocker> <QString> <QStringList> <QTimer> <QWidget>)

if(VELKOR_PCH)
  add_library(velkor_pch STATIC ${CMAKE_CURRENT_LIST_DIR}/velkor_pch.cpp)
  target_link_libraries(velkor_pch PRIVATE Qt6::Core)
  # The headers of Gui, Widgets and SerialPort without their QT_*_LIB definitions.
  target_include_directories(velkor_pch SYSTEM PRIVATE
    $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>
    $<TARGET_PROPERTY:Qt6::SerialPort,INTERFACE_INCLUDE_DIRECTORIES>)
  target_precompile_headers(velkor_pch PRIVATE ${VELKOR_PCH_HEADERS})
  set_target_properties(velkor_pch PROPERTIES AUTOMOC OFF)
endif()

function(velkor_fast_build target)
  if(VELKOR_PCH)
    target_precompile_headers(${target} REUSE_FROM velkor_pch)
  endif()
endfunction()

# The default linker (ld.bfd) takes about 1 s of CPU for each test program; lld a third of that,
# gold a half.
if(VELKOR_FAST_LINKER AND NOT CMAKE_CXX_FLAGS MATCHES "-fuse-ld=")
  include(CheckLinkerFlag)
  check_linker_flag(CXX -fuse-ld=lld VELKOR_LINKER_LLD)
  if(VELKOR_LINKER_LLD)
    add_link_options(-fuse-ld=lld)
  else()
    check_linker_flag(CXX -fuse-ld=gold VELKOR_LINKER_GOLD)
    if(VELKOR_LINKER_GOLD)
      add_link_options(-fuse-ld=gold)
    endif()
  endif()
endif()
