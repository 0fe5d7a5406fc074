# Shared by the scripts (sourced, not run): the Qt major version to build with
# and where its build goes. The caller sets $root.
#
#   TVC_QT         5 (the default) or 6
#   TVC_BUILD_DIR  the build folder; by default build/ for Qt 5, build-qt6/ for Qt 6
#
# Sets $qt_major, $qt_packages (the Debian packages that the build needs beside
# the compiler: Qt, its Linguist tools lupdate and lrelease with their CMake
# files, and Qt's own translations), $qt_core_package (Qt Core's run-time
# package) and $build.
qt_major=${TVC_QT:-5}
case "$qt_major" in
    5)
        qt_packages=(qtbase5-dev libqt5serialport5-dev qttools5-dev-tools qttools5-dev qttranslations5-l10n)
        qt_core_package=libqt5core5a
        build=${TVC_BUILD_DIR:-$root/build}
        ;;
    6)
        # The rest (OpenGL and Vulkan headers, the platform plugins) comes with these.
        qt_packages=(qt6-base-dev qt6-serialport-dev qt6-l10n-tools qt6-tools-dev qt6-translations-l10n)
        qt_core_package=libqt6core6
        build=${TVC_BUILD_DIR:-$root/build-qt6}
        ;;
    *)
        echo "TVC_QT must be 5 or 6, not '$qt_major'" >&2
        exit 2
        ;;
esac
