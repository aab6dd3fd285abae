#error "This library uses QtCore only: no Qt Widgets header"
