{ Ein erstes Makro: Ausgabe mit Print, Schleifen und Funktionen.
  Aufruf: quellin --macro samples/macros/hallo.pas }
program Hallo;

var
  i: Integer;
  summe: Integer;

function Quadrat(x: Integer): Integer;
begin
  Result := x * x;
end;

begin
  Print('Hallo aus KELDRA!');
  summe := 0;
  for i := 1 to 10 do
    summe := summe + Quadrat(i);
  Print('Summe der Quadrate von 1 bis 10: ', IntToStr(summe));
  Print('Heute ist ', FormatDateTime('dddd, d. mmmm yyyy', Date));
end.
