Kvistenavn
;
; comments: who did what and When??
400.00 400.00 0.00 1.00
0.00 0.00 0.00
A001 A001 0.00   0.00  0.00  0.00  0.00  0.00  0.00
;Fra Til  komp   klino Lengd H     V     N     O
;siste datasett
