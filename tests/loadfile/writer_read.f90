! Reads a loading file the way the solver does: comment lines skipped, every numeric record
! read in free form, each repeated section ended by the first record that does not read as one
! of its records. Prints one line per record read, a tag and the values, for the C++ test.
! Usage: writer_read FILE N_DOF
program writer_read
  implicit none
  character(len=512) :: path, arg, line
  character(len=7) :: op
  integer :: ndof, u, ios, ncoef, ncases, icase, code, iter, lt, mass, pc
  real :: coef(6), tol, dt, tend, g, pt, x, y
  logical :: six

  call get_command_argument(1, path)
  call get_command_argument(2, arg)
  read (arg, *) ndof
  open (newunit=u, file=trim(path), status='old', action='read')

  do
    read (u, '(A)') line
    if (line(1:2) /= '//') exit
  end do
  op = line(1:7)
  write (*, '(A,A)') 'operator ', trim(op)
  six = scan(op(1:1), 'AaCc') > 0
  ncoef = 2
  if (six) ncoef = 6
  read (u, *) coef(1:ncoef)
  write (*, *) 'coefficients', coef(1:ncoef)
  read (u, *) ncases
  write (*, *) 'cases', ncases

  do icase = 1, ncases
    read (u, *) code
    write (*, *) 'damping', code
    read (u, *) tol, iter
    write (*, *) 'tolerance', tol, iter
    read (u, *) lt, dt, tend, mass, g, pc, pt
    write (*, *) 'parameters', lt, dt, tend, mass, g, pc, pt
    call ranges(u, 'init', 2 * ndof)
    if (lt < 0) then
      read (u, *) coef(1:3)
      write (*, *) 'accel', coef(1:3)
    end if
    if (code /= 0) then
      if (six) then
        read (u, *) x
        write (*, *) 'niu', x
      end if
      if (code == 1 .or. code == 3 .or. code == 4) then
        read (u, *) x, y
        write (*, *) 'values', x, y
      end if
      if (code == 3 .or. code == 4) call ranges(u, 'diameter', 1)
      if (code == 2 .or. code == 4) then
        read (u, *) x
        write (*, *) 'zeta', x
      end if
    end if
    call ranges(u, 'initload', 1 + ndof)
    if (lt == 1) then
      read (u, *) x, y
      write (*, *) 'omega_phi', x, y
    else if (lt == 2) then
      read (u, *) x
      write (*, *) 'omega', x
    end if
    if (lt == 0) then
      call discrete(u)
    else if (lt > 0) then
      call ranges(u, 'amplitude', ndof)
    else if (lt == -1) then
      call points(u, ndof)
    else
      call points(u, 1)
    end if
  end do

  read (u, '(A)') line
  write (*, '(A,A)') 'end_record ', trim(line)
  read (u, '(A)', iostat=ios) line
  write (*, '(A,A)') 'date ', trim(line)
  close (u)

contains

  ! Records of two integers and n reals until one does not read as such: that one is the
  ! section's terminator.
  subroutine ranges(u, tag, n)
    integer, intent(in) :: u, n
    character(len=*), intent(in) :: tag
    character(len=512) :: rec
    integer :: i1, i2, ios
    real :: v(7)
    do
      read (u, '(A)') rec
      read (rec, *, iostat=ios) i1, i2, v(1:n)
      if (ios /= 0) exit
      write (*, *) tag, i1, i2, v(1:n)
    end do
    write (*, '(A,A)') 'terminator ', trim(rec)
  end subroutine ranges

  ! A time record, its node-range records, the next time record...: a record that fails as a
  ! range is read as a time; one that fails as both ends the section.
  subroutine discrete(u)
    integer, intent(in) :: u
    character(len=512) :: rec
    integer :: i1, i2, ios
    real :: v(7), t
    do
      read (u, '(A)') rec
      read (rec, *, iostat=ios) i1, i2, v(1:ndof)
      if (ios == 0) then
        write (*, *) 'range', i1, i2, v(1:ndof)
        cycle
      end if
      read (rec, *, iostat=ios) t
      if (ios /= 0) exit
      write (*, *) 'time', t
    end do
    write (*, '(A,A)') 'terminator ', trim(rec)
  end subroutine discrete

  subroutine points(u, n)
    integer, intent(in) :: u, n
    character(len=512) :: rec
    integer :: ios
    real :: v(8)
    do
      read (u, '(A)') rec
      read (rec, *, iostat=ios) v(1:n + 1)
      if (ios /= 0) exit
      write (*, *) 'point', v(1:n + 1)
    end do
    write (*, '(A,A)') 'terminator ', trim(rec)
  end subroutine points

end program writer_read
