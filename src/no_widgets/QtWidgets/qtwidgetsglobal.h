// Stands in for Qt's own header on the include path of the libraries below the windows:
// every Qt Widgets header includes it first, so a widget there stops the build here.
#error "This library is below the windows and must not use Qt Widgets"
