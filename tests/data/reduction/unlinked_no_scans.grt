Frakoblet
;
; Fixture: no scans, an unlinked station, a loop, a station reached late, wide numbers
360.00 360.00  -1.50   1.00
 -1234.50 98765.25 -12.00 
F001 F001   0.00   0.00   0.00   0.00   0.00   0.00   0.00
F001 F002 358.50 -89.99 123456.78   1.00   2.00   3.00   4.00
;    Forste kommentar
;    Bare den siste kommentaren blir
X001 F003  45.00   0.00   3.00   1.00   1.00   1.00   1.00
F005 F006 270.00  10.00   2.00   1.00   1.00   1.00   1.00
F002 F004 180.00   0.00   5.00   1.00   1.00   1.00   1.00
F004 F005  90.00   0.00   4.00   1.00   1.00   1.00   1.00
F005 F002   1.50  89.00 123460.00   1.00   1.00   1.00   1.00
F002 F007   0.00   0.00   0.00   0.00   0.00   0.00   0.00
;    Null-lengde til slutt
