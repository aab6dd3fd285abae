#error "This library uses QtCore only: no Qt GUI header"
